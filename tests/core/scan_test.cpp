#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "tests/core/player_fixture.h"

namespace solka {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ScanFolderTest : public PlayerTest {
 protected:
  std::vector<std::string> List() const { return player.List().PlayList.Items(); }
};

// The files of `paths` in a fresh in-memory file system, scanned from /m/ by a player started
// with `builder`'s settings.
std::vector<std::string> ScanWith(const std::vector<std::string>& paths,
                                  const std::function<void(PlayerBuilder&)>& settings) {
  TestPlatform q;
  for (const std::string& path : paths) q.files.AddFile(path);
  PlayerBuilder builder(q);
  settings(builder);
  auto t = builder.Start();
  t->ScanFolder("/m/");
  return t->List().PlayList.Items();
}

TEST_F(ScanFolderTest, SubFolderFilesStandWhereTheSubFolderWasMet) {
  p.files.AddFile("/m/a.mp3");
  p.files.AddFile("/m/Sub/c.mp3");
  p.files.AddFile("/m/Sub/Deeper/d.ogg");
  p.files.AddFile("/m/Sub/e.wav");
  p.files.AddFile("/m/b.mp3");
  p.files.AddFile("/m/notes.txt");
  // Hidden entries are passed over, folders unopened.
  p.files.AddFile("/m/.hidden/secret.mp3");
  p.files.AddFile("/m/Sub/Deeper/.x.mp3");
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/m/a.mp3", "/m/Sub/c.mp3", "/m/Sub/Deeper/d.ogg", "/m/Sub/e.wav",
                                  "/m/b.mp3"));
  EXPECT_EQ(p.files.ListCalls(), 3);  // one listing per folder
}

TEST_F(ScanFolderTest, AppendsAndKeepsTheNamesAsListed) {
  LoadEntries({"/earlier.mp3"});
  p.files.AddFile("/m/Zed.MP3");
  p.files.AddFile("/m/alpha.Flac");
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/earlier.mp3", "/m/Zed.MP3", "/m/alpha.Flac"));
}

TEST_F(ScanFolderTest, NoSubFolderScanGovernsOneScanOnly) {
  // The setting reaches the scan of the start-up argument only.
  TestPlatform q;
  q.files.AddFile("/m/a.mp3");
  q.files.AddFile("/m/Sub/c.mp3");
  q.files.AddFile("/m/b.mp3");
  auto t = PlayerBuilder(q).Setting(SubFolder, "1").Argument("/m/").Start();
  EXPECT_THAT(t->List().PlayList.Items(), ElementsAre("/m/a.mp3", "/m/b.mp3"));
  EXPECT_FALSE(t->List().NoSubFolderScan);

  q.files.AddFile("/empty.m3u");
  ASSERT_TRUE(t->LoadListFile("/empty.m3u"));
  t->ScanFolder("/m/");
  EXPECT_THAT(t->List().PlayList.Items(), ElementsAre("/m/a.mp3", "/m/Sub/c.mp3", "/m/b.mp3"));
}

TEST_F(ScanFolderTest, FolderWithAnAudioNameIsDescendedNotAdded) {
  p.files.AddFile("/m/x.mp3/inner.wav");
  player.ScanFolder("/m/");
  EXPECT_THAT(List(), ElementsAre("/m/x.mp3/inner.wav"));
}

TEST_F(ScanFolderTest, MissingOrUnreadableFoldersContributeNothing) {
  {
    TestPlatform q;
    auto t = PlayerBuilder(q).Setting(SubFolder, "1").Argument("/nowhere/").Start();
    EXPECT_THAT(t->List().PlayList.Items(), IsEmpty());
    EXPECT_FALSE(t->List().NoSubFolderScan);
  }
  LoadEntries({"/kept.mp3"});
  player.ScanFolder("/nowhere/");
  EXPECT_THAT(List(), ElementsAre("/kept.mp3"));

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
  const std::vector<std::string> files = {"/m/x.mid", "/m/y.midi", "/m/z.rmi", "/m/a.acc",
                                          "/m/b.aac"};
  EXPECT_THAT(ScanWith(files,
                       [](PlayerBuilder& b) {
                         b.Setting(FileType, "1").Setting(Ext_MP3, "0").Setting(Ext_MIDI, "1");
                       }),
              ElementsAre("/m/x.mid", "/m/y.midi"));
  EXPECT_THAT(ScanWith(files,
                       [](PlayerBuilder& b) {
                         b.Setting(FileType, "1").Setting(Ext_MIDI, "0").Setting(Ext_ACC, "1");
                       }),
              ElementsAre("/m/a.acc"));
  EXPECT_THAT(ScanWith(files, [](PlayerBuilder& b) { b.Setting(FileType, "0"); }),
              ElementsAre("/m/x.mid", "/m/y.midi", "/m/z.rmi", "/m/b.aac"));
  EXPECT_THAT(ScanWith(files, [](PlayerBuilder& b) { b.Setting(FileType, "3"); }), IsEmpty());
}

TEST_F(ScanFolderTest, FirstFoundTypeFollowsTheFirstFileEvenAPicture) {
  const auto addFiles = [](TestPlatform& q) {
    q.files.AddFile("/m/cover.jpg");
    q.files.AddFile("/m/a.mp3");
    q.files.AddFile("/m/Sub/back.JPG");
    q.files.AddFile("/m/b.mp3");
  };
  TestPlatform q;
  addFiles(q);
  auto t = PlayerBuilder(q).Setting(FileType, "2").Start();
  t->ScanFolder("/m/");
  EXPECT_THAT(t->List().PlayList.Items(), ElementsAre("/m/cover.jpg", "/m/Sub/back.JPG"));
  // The type stays for later scans until someone clears it.
  EXPECT_EQ(t->List().ReferenceExtension, ".jpg");

  // A start-up argument gives the type of its own file.
  TestPlatform r;
  addFiles(r);
  auto u = PlayerBuilder(r).Setting(FileType, "2").Argument("/m/a.mp3").Start();
  EXPECT_THAT(u->List().PlayList.Items(), ElementsAre("/m/a.mp3", "/m/b.mp3"));
}

TEST_F(ScanFolderTest, SortedStateRefusesWhatIsThereAndMatchesOneByOneAdding) {
  p.files.AddFile("/m/b.mp3");
  p.files.AddFile("/m/A.mp3");
  p.files.AddFile("/m/a.MP3");  // equal to A.mp3 without regard to case
  p.files.AddFile("/m/Sub/c.mp3");
  player.ScanFolder("/m/");
  player.ScanFolder("/m/");
  EXPECT_EQ(List().size(), 8u);  // unsorted: every file twice

  LoadEntries({"/m/B.MP3"});
  player.N19Click();
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
  LoadEntries({});
  player.ScanFolder("/media/stick/");
  player.ScanFolder("/home");
  EXPECT_THAT(List(), ElementsAre("/media/stick/s.mp3", "/home/u/b.mp3", "/home/u/stick/s.mp3"));
}

}  // namespace
}  // namespace solka
