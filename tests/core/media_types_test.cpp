#include "playlist/media_types.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace solka {
namespace {

TEST(MediaTypes, ExtensionIsTakenOnlyFromTheLastName) {
  const PathSyntax slash;
  EXPECT_EQ(ExtensionOf("/music/x.tar.mp3", slash), ".mp3");
  EXPECT_EQ(ExtensionOf("/music/a.b/track", slash), "");
  EXPECT_EQ(ExtensionOf("track", slash), "");
  EXPECT_EQ(ExtensionOf("/music/a.b/", slash), "");
  EXPECT_EQ(ExtensionOf("/music/name.", slash), ".");
  EXPECT_EQ(ExtensionOf("/music/.hidden", slash), ".hidden");
  EXPECT_EQ(ExtensionOf("", slash), "");
  // Every delimiter of the syntax ends the name, not only the one that is appended.
  const PathSyntax drives{'\\', "\\:"};
  EXPECT_EQ(ExtensionOf("D:\\a.b\\track", drives), "");
  EXPECT_EQ(ExtensionOf("D.x:track", drives), "");
  EXPECT_EQ(ExtensionOf("D:\\a\\SONG.MP3", drives), ".MP3");
}

TEST(MediaTypes, ColumnsKeepTheirOwnSetsAndComparisons) {
  for (MediaColumn c :
       {MediaColumn::StandardScan, MediaColumn::DroppedFile, MediaColumn::StartUpArgument}) {
    EXPECT_TRUE(InColumn(".mp3", c));
    EXPECT_TRUE(InColumn(".MP3", c));
    EXPECT_TRUE(InColumn(".Flac", c));
    EXPECT_TRUE(InColumn(".aac", c));
    EXPECT_FALSE(InColumn(".acc", c));
  }
  // The forwarded path compares exactly and knows ".acc" instead of ".aac".
  EXPECT_TRUE(InColumn(".mp3", MediaColumn::ForwardedPath));
  EXPECT_FALSE(InColumn(".MP3", MediaColumn::ForwardedPath));
  EXPECT_TRUE(InColumn(".acc", MediaColumn::ForwardedPath));
  EXPECT_FALSE(InColumn(".aac", MediaColumn::ForwardedPath));
  // Whole extensions only: no prefix or suffix matching, and the dot belongs to it.
  EXPECT_FALSE(InColumn(".mp", MediaColumn::StandardScan));
  EXPECT_FALSE(InColumn(".mp3x", MediaColumn::StandardScan));
  EXPECT_FALSE(InColumn("mp3", MediaColumn::StandardScan));
  EXPECT_FALSE(InColumn("", MediaColumn::StandardScan));
  EXPECT_FALSE(InColumn(".m3u", MediaColumn::StandardScan));
}

TEST(MediaTypes, EveryColumnHoldsSixteenExtensions) {
  for (int c = 0; c < 4; ++c) {
    int members = 0;
    for (const MediaType& type : MediaTypeTable)
      if (InColumn(type.extension, static_cast<MediaColumn>(c))) ++members;
    EXPECT_EQ(members, 16) << "column " << c;
  }
}

// The installer registers "Open with" for the start-up column and the list files, no more.
TEST(MediaTypes, InstallerRegistersTheTablesTypes) {
  std::ifstream script(SOLKA_INSTALLER_SCRIPT);
  std::multiset<std::string> registered, wanted;
  for (std::string line; std::getline(script, line);)
    if (const auto at = line.find("${MACRO} \""); at != std::string::npos)
      registered.insert(line.substr(at + 10, line.size() - at - 11));
  for (const MediaType& type : MediaTypeTable)
    if (InColumn(type.extension, MediaColumn::StartUpArgument)) wanted.emplace(type.extension);
  for (const ListFileType& type : ListFileTypes) wanted.emplace(type.extension);
  EXPECT_EQ(registered, wanted);
}

// The desktop entry offers the player for exactly the types of the table, which the media
// controls announce too.
TEST(MediaTypes, DesktopEntryOffersTheTablesTypes) {
  std::ifstream entry(SOLKA_DESKTOP_ENTRY);
  std::string line;
  while (std::getline(entry, line) && !line.starts_with("MimeType=")) continue;
  ASSERT_TRUE(line.starts_with("MimeType=")) << SOLKA_DESKTOP_ENTRY;
  std::vector<std::string_view> offered;
  for (std::string_view rest = std::string_view(line).substr(9); !rest.empty();) {
    offered.push_back(rest.substr(0, rest.find(';')));
    rest.remove_prefix(std::min(rest.size(), offered.back().size() + 1));
  }
  EXPECT_THAT(offered, ::testing::UnorderedElementsAreArray(PlayableMimeTypes()));
}

TEST(MediaTypes, ListFileTestFollowsTheAskedComparison) {
  EXPECT_TRUE(IsListFileExtension(".m3u", Match::Exact));
  EXPECT_FALSE(IsListFileExtension(".M3U", Match::Exact));
  EXPECT_TRUE(IsListFileExtension(".M3U", Match::NoCase));
  EXPECT_TRUE(IsListFileExtension(".M3U8", Match::NoCase));
  EXPECT_FALSE(IsListFileExtension(".m3u", Match::None));
}

class ScanAcceptance : public ::testing::Test {
 protected:
  bool Accepts(std::string_view extension) {
    return AcceptedByScan(extension, settings, reference);
  }
  void Set(Key key, std::string value) { settings.Set(key, std::move(value)); }

  SettingTexts settings;
  std::string reference;
};

TEST_F(ScanAcceptance, StandardModeForEmptyAndZero) {
  for (const char* mode : {"", "0"}) {
    Set(FileType, mode);
    EXPECT_TRUE(Accepts(".MP3"));
    EXPECT_TRUE(Accepts(".aac"));
    EXPECT_FALSE(Accepts(".acc"));
    EXPECT_FALSE(Accepts(".jpg"));
    EXPECT_FALSE(Accepts(""));
  }
  EXPECT_EQ(reference, "");
}

TEST_F(ScanAcceptance, ChosenTypesTakeOnlyGroupsSwitchedOnExactly) {
  Set(FileType, "1");
  Set(Ext_MIDI, "1");
  Set(Ext_MP3, "true");  // only "1" switches a group on
  EXPECT_TRUE(Accepts(".mid"));
  EXPECT_TRUE(Accepts(".MIDI"));
  EXPECT_FALSE(Accepts(".rmi"));
  EXPECT_FALSE(Accepts(".mp3"));

  Set(Ext_OGG, "1");  // the Ogg box takes Opus too
  EXPECT_TRUE(Accepts(".Opus"));

  Set(Ext_ACC, "1");
  EXPECT_TRUE(Accepts(".acc"));
  EXPECT_TRUE(Accepts(".M4A"));
  EXPECT_FALSE(Accepts(".aac"));
  // Types outside the seven groups never count in this mode.
  for (const char* ext : {".flac", ".asf", ".rcp", ".vqf", ".3g2"}) EXPECT_FALSE(Accepts(ext));
}

TEST_F(ScanAcceptance, FirstFoundTypeIsRecordedAndKept) {
  Set(FileType, "2");
  EXPECT_TRUE(Accepts(".jpg"));
  EXPECT_EQ(reference, ".jpg");
  EXPECT_TRUE(Accepts(".JPG"));
  EXPECT_FALSE(Accepts(".mp3"));
  EXPECT_EQ(reference, ".jpg");

  reference = ".MP3";  // as set from a path handed to the player
  EXPECT_TRUE(Accepts(".mp3"));
  EXPECT_FALSE(Accepts(".jpg"));
}

TEST_F(ScanAcceptance, UnknownModeOrMissingSettingsAreSafe) {
  Set(FileType, "3");
  EXPECT_FALSE(Accepts(".mp3"));
  Set(FileType, " 0");
  EXPECT_FALSE(Accepts(".mp3"));
  // Settings that were never loaded read as empty: the standard mode.
  const SettingTexts none;
  EXPECT_TRUE(AcceptedByScan(".mp3", none, reference));
}

}  // namespace
}  // namespace solka
