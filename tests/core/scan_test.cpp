#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/tdodedev.h"
#include "platform/memory/test_platform.h"

namespace solka {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ScanFolderTest : public ::testing::Test {
 protected:
  ScanFolderTest() { player.Settings.assign(kSettingsCount, ""); }

  std::vector<std::string> List() const { return player.PlayList.Items(); }

  TestPlatform p;
  TDODEDEV player{p.services, {"/prog/solka", ""}};
};

TEST_F(ScanFolderTest, SubFolderFilesStandWhereTheSubFolderWasMet) {
  p.files.AddFile("/m/a.mp3");
  p.files.AddFile("/m/Sub/c.mp3");
  p.files.AddFile("/m/Sub/Deeper/d.ogg");
  p.files.AddFile("/m/Sub/e.wav");
  p.files.AddFile("/m/b.mp3");
  p.files.AddFile("/m/notes.txt");
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/m/a.mp3", "/m/Sub/c.mp3", "/m/Sub/Deeper/d.ogg", "/m/Sub/e.wav",
                                  "/m/b.mp3"));
  EXPECT_EQ(p.files.ListCalls(), 3);  // one listing per folder
}

TEST_F(ScanFolderTest, AppendsAndKeepsTheNamesAsListed) {
  player.PlayList.Add("/earlier.mp3");
  p.files.AddFile("/m/Zed.MP3");
  p.files.AddFile("/m/alpha.Flac");
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/earlier.mp3", "/m/Zed.MP3", "/m/alpha.Flac"));
}

TEST_F(ScanFolderTest, NoSubFolderScanGovernsOneScanOnly) {
  p.files.AddFile("/m/a.mp3");
  p.files.AddFile("/m/Sub/c.mp3");
  p.files.AddFile("/m/b.mp3");
  player.NoSubFolderScan = true;
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/m/a.mp3", "/m/b.mp3"));
  EXPECT_FALSE(player.NoSubFolderScan);

  player.PlayList.Clear();
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/m/a.mp3", "/m/Sub/c.mp3", "/m/b.mp3"));
}

TEST_F(ScanFolderTest, FolderWithAnAudioNameIsDescendedNotAdded) {
  p.files.AddFile("/m/x.mp3/inner.wav");
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/m/x.mp3/inner.wav"));
}

TEST_F(ScanFolderTest, MissingOrUnreadableFoldersContributeNothing) {
  player.PlayList.Add("/kept.mp3");
  player.NoSubFolderScan = true;
  player.ScanFolder("/nowhere/");
  EXPECT_THAT(List(), ElementsAre("/kept.mp3"));
  EXPECT_FALSE(player.NoSubFolderScan);
  EXPECT_THAT(p.screen.cursorLog, ElementsAre(true, false));

  p.files.AddFile("/m/a.mp3");
  p.files.AddFile("/m/locked/b.mp3");
  p.files.AddFile("/m/c.mp3");
  p.files.SetUnreadable("/m/locked");
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/kept.mp3", "/m/a.mp3", "/m/c.mp3"));

  player.ScanFolder("");  // names no folder
  EXPECT_EQ(List().size(), 3u);
}

TEST_F(ScanFolderTest, FolderWithoutTrailingDelimiterIsStillItsOwnContents) {
  p.files.AddFile("/m/a.mp3");
  p.files.AddFile("/mx/b.mp3");
  player.ScanFolder("/m");
  EXPECT_THAT(List(), ElementsAre("/m/a.mp3"));
}

TEST_F(ScanFolderTest, WaitCursorWrapsTheWholeScanOnce) {
  p.files.AddFile("/m/a/b/c/d.mp3");
  player.ScanFolder("/m/");
  EXPECT_THAT(p.screen.cursorLog, ElementsAre(true, false));
}

TEST_F(ScanFolderTest, ChosenTypesAndUnknownMode) {
  p.files.AddFile("/m/x.mid");
  p.files.AddFile("/m/y.midi");
  p.files.AddFile("/m/z.rmi");
  p.files.AddFile("/m/a.acc");
  p.files.AddFile("/m/b.aac");
  player.Settings[FileType] = "1";
  player.Settings[Ext_MIDI] = "1";
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/m/x.mid", "/m/y.midi"));

  player.PlayList.Clear();
  player.Settings[Ext_MIDI] = "0";
  player.Settings[Ext_ACC] = "1";
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/m/a.acc"));

  player.PlayList.Clear();
  player.Settings[FileType] = "0";
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/m/x.mid", "/m/y.midi", "/m/z.rmi", "/m/b.aac"));

  player.PlayList.Clear();
  player.Settings[FileType] = "3";
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), IsEmpty());
}

TEST_F(ScanFolderTest, FirstFoundTypeFollowsTheFirstFileEvenAPicture) {
  p.files.AddFile("/m/cover.jpg");
  p.files.AddFile("/m/a.mp3");
  p.files.AddFile("/m/Sub/back.JPG");
  p.files.AddFile("/m/b.mp3");
  player.Settings[FileType] = "2";
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/m/cover.jpg", "/m/Sub/back.JPG"));
  // The type stays for later scans until someone clears it.
  EXPECT_EQ(player.ReferenceExtension, ".jpg");

  player.PlayList.Clear();
  player.ReferenceExtension = ".mp3";
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/m/a.mp3", "/m/b.mp3"));
}

TEST_F(ScanFolderTest, SortedStateRefusesWhatIsThereAndMatchesOneByOneAdding) {
  p.files.AddFile("/m/b.mp3");
  p.files.AddFile("/m/A.mp3");
  p.files.AddFile("/m/a.MP3");  // equal to A.mp3 without regard to case
  p.files.AddFile("/m/Sub/c.mp3");
  player.ScanFolder("/m/");
  player.ScanFolder("/m/");
  EXPECT_EQ(List().size(), 8u);  // unsorted: every file twice

  player.PlayList.Clear();
  player.SetPlayListSorted(true);
  player.PlayList.Add("/m/B.MP3");
  player.ScanFolder("/m/");
  StringList oneByOne;
  oneByOne.SetSorted(true);
  for (const char* path : {"/m/B.MP3", "/m/b.mp3", "/m/A.mp3", "/m/a.MP3", "/m/Sub/c.mp3"})
    oneByOne.Add(path);
  EXPECT_EQ(List(), oneByOne.Items());
  EXPECT_THAT(List(), ElementsAre("/m/A.mp3", "/m/B.MP3", "/m/Sub/c.mp3"));

  player.ScanFolder("/m/");
  EXPECT_EQ(List(), oneByOne.Items());
}

TEST_F(ScanFolderTest, FolderReachedAgainThroughALinkIsWalkedOnce) {
  p.files.AddFile("/m/a.mp3");
  p.files.AddFile("/m/Sub/b.mp3");
  p.files.AddFolderLink("/m/Sub/up", "/m");        // a loop back to the top
  p.files.AddFolderLink("/m/Sub/self", "/m/Sub");  // and one to itself
  p.files.AddFile("/shared/s.mp3");
  p.files.AddFolderLink("/m/z1", "/shared");  // two links to one folder outside the tree
  p.files.AddFolderLink("/m/z2", "/shared");
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/m/a.mp3", "/m/Sub/b.mp3", "/m/z1/s.mp3"));

  // The guard belongs to one scan: the next scan walks the same folders again.
  player.ScanFolder("/m/");
  EXPECT_EQ(List().size(), 6u);
}

TEST_F(ScanFolderTest, ScanOfADriveKeepsToItsOwnFileSystem) {
  p.files.SetDrive("/proc/", DriveType::Fixed);
  p.files.SetDrive("/media/stick/", DriveType::Removable);
  p.files.AddFile("/a.mp3");
  p.files.AddFile("/proc/1/x.mp3");
  p.files.AddFile("/media/stick/s.mp3");
  p.files.AddFile("/home/u/b.mp3");
  p.files.AddFolderLink("/home/u/stick", "/media/stick");  // a link into another drive
  player.ScanFolder("/");
  EXPECT_THAT(List(), ElementsAre("/a.mp3", "/home/u/b.mp3"));

  // A drive scanned whole, and a folder that is no drive: what is mounted below it is walked.
  player.PlayList.Clear();
  player.ScanFolder("/media/stick/");
  player.ScanFolder("/home");
  EXPECT_THAT(List(), ElementsAre("/media/stick/s.mp3", "/home/u/b.mp3", "/home/u/stick/s.mp3"));
}

}  // namespace
}  // namespace solka
