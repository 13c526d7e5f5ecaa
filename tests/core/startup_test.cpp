#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "settings/ini_file.h"
#include "tests/core/player_fixture.h"

namespace solka {
namespace {

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() { p.files.AddFolder("/opt/solka"); }

  void Settings(const std::string& lines) {
    p.files.AddFile("/opt/solka/solka.ini", "[SETTING]\n" + lines);
  }
  void Track(const std::string& path) {
    p.files.AddFile(path);
    p.media.AddPlayable(path, 100);
  }
  // FormCreate, then the first idle moment of the event loop.
  TDODEDEV& Start(const std::string& argument, const std::string& program = "/opt/solka/solka") {
    PlayerBuilder builder(p);
    player = builder.Program(program).Argument(argument).Start();
    idleInstalled = builder.IdleInstalled();
    return *player;
  }
  std::string Playing() const {
    return player->Playback().Playing && p.media.Current() ? p.media.Current()->Path() : "";
  }

  TestPlatform p;
  std::unique_ptr<TDODEDEV> player;
  bool idleInstalled = false;
};

// --- Outcomes of a start ---------------------------------------------------------------------

TEST_F(StartupTest, NoArgumentShowsAnEmptyWindowAndWaits) {
  TDODEDEV& t = Start("");
  EXPECT_TRUE(idleInstalled);
  EXPECT_FALSE(t.Window().InTray);
  EXPECT_EQ(t.Form().RowCount(), 0);
  EXPECT_EQ(Playing(), "");
  EXPECT_FALSE(t.Form().TaskButtonVisible());
  EXPECT_EQ(t.Form().TrayIcon(), 3);
  EXPECT_EQ(t.Form().TrayHint(), "DODEDEV 1.7.2.0");
  EXPECT_FALSE(p.loop.HasIdleHandler());  // runs once
}

TEST_F(StartupTest, FolderHidesToTheTrayAndPlaysContinuouslyFromTheFirstRow) {
  Track("/music/b.mp3");
  Track("/music/sub/a.ogg");
  p.files.AddFile("/music/cover.jpg");
  TDODEDEV& t = Start("/music");
  EXPECT_EQ(t.List().PlayList.Items(),
            (std::vector<std::string>{"/music/b.mp3", "/music/sub/a.ogg"}));
  EXPECT_TRUE(t.Window().InTray);
  EXPECT_TRUE(t.Sequence().ContinuousPlay);
  EXPECT_EQ(Playing(), "/music/b.mp3");
  EXPECT_EQ(t.Form().Label(2).text, " / 2 曲");
  EXPECT_EQ(t.Form().TrayIcon(), 1);
  EXPECT_FALSE(t.Startup().FirstIdlePending);
  EXPECT_EQ(t.List().ReferenceExtension, "");
  // The rows of the hidden list are measured when the window is shown, not before the music.
  EXPECT_EQ(t.Form().ScrollWidth(), 0);
  t.N11Click();
  EXPECT_GT(t.Form().ScrollWidth(), 4);
}

TEST_F(StartupTest, FolderWithOrWithoutFinalDelimiterScansTheSameFolder) {
  Track("/music/a.mp3");
  EXPECT_EQ(Start("/music/").List().PlayList.Items(), std::vector<std::string>{"/music/a.mp3"});
}

TEST_F(StartupTest, SubFolderSettingKeepsTheScanInTheGivenFolder) {
  Settings("SubFolder=1\n");
  Track("/music/a.mp3");
  Track("/music/sub/b.mp3");
  TDODEDEV& t = Start("/music");
  EXPECT_EQ(t.List().PlayList.Items(), std::vector<std::string>{"/music/a.mp3"});
  EXPECT_FALSE(t.List().NoSubFolderScan);
}

TEST_F(StartupTest, AudioFileFoundInItsFolderPlaysOnceInAShownWindow) {
  Track("/music/a.mp3");
  Track("/music/song.MP3");
  TDODEDEV& t = Start("/music/song.MP3");
  EXPECT_FALSE(t.Window().InTray);
  EXPECT_FALSE(t.Sequence().ContinuousPlay);
  EXPECT_FALSE(t.Form().Checked("N9"));
  EXPECT_TRUE(t.Startup().StartFileSelected);
  EXPECT_EQ(t.CurrentIndex(), 1);
  EXPECT_EQ(Playing(), "/music/song.MP3");
  EXPECT_FALSE(t.Startup().StartedWithFile);

  // The track starts from the event loop, before its first idle step: the window shows first.
  // A window closed before then starts nothing; a hand-over taken before then comes after it.
  player.reset();
  for (const char* before : {"", "close", "/music/song.MP3"}) {
    TDODEDEV again(p.services, {"/opt/solka/solka", "/music/a.mp3"});
    again.FormCreate();
    EXPECT_FALSE(again.Playback().Playing);
    if (before == std::string("close")) again.FormClose();
    if (before[0] == '/') again.WMCopyData({1, before});
    p.loop.ProcessMessages();
    EXPECT_EQ(again.Playback().PlayingPath, before[0] == 'c' ? ""
                                            : before[0]      ? before
                                                             : "/music/a.mp3");
    EXPECT_TRUE(before[0] == 'c' || p.loop.HasIdleHandler());
  }
}

TEST_F(StartupTest, AudioFileLeftOutByTheScanModeArmsContinuousPlayInTheTray) {
  Settings("FileType=1\nExt_MP3=0\nExt_WAV=1\n");
  Track("/music/a.wav");
  Track("/music/song.mp3");
  TDODEDEV& t = Start("/music/song.mp3");
  EXPECT_EQ(t.List().PlayList.Items(), std::vector<std::string>{"/music/a.wav"});
  EXPECT_TRUE(t.Window().InTray);
  EXPECT_TRUE(t.Sequence().ContinuousPlay);
  EXPECT_EQ(t.Form().Label(1).color, Color::Blue);
  EXPECT_EQ(Playing(), "");
}

TEST_F(StartupTest, ListFileArgumentLoadsItsLinesAndPlays) {
  Track("/music/x.mp3");
  p.files.AddFile("/lists/l.m3u", "/music/x.mp3\r\n#EXTINF\r\n");
  TDODEDEV& t = Start("/lists/l.m3u");
  EXPECT_EQ(t.List().PlayList.Items(), (std::vector<std::string>{"/music/x.mp3"}));
  EXPECT_EQ(t.List().SelectedListLines, t.List().PlayList.Items());
  EXPECT_TRUE(t.Window().InTray);
  EXPECT_EQ(Playing(), "/music/x.mp3");
}

TEST_F(StartupTest, EmptyResultOrUnknownExtensionShowsTheWindowWithoutFirstIdle) {
  p.files.AddFile("/music/readme.txt");
  p.files.AddFile("/lists/empty.m3u", "");
  for (const char* argument : {"/music", "/nowhere", "/lists/empty.m3u", "/music/readme.txt"}) {
    SCOPED_TRACE(argument);
    TDODEDEV& t = Start(argument);
    EXPECT_FALSE(idleInstalled);
    EXPECT_FALSE(t.Window().InTray);
    EXPECT_EQ(t.List().PlayList.size(), 0u);
    EXPECT_EQ(Playing(), "");
    EXPECT_TRUE(t.Form().TaskButtonVisible());  // left for the folder selection command
    EXPECT_TRUE(t.Startup().FirstIdlePending);
  }
}

TEST_F(StartupTest, UnreadableListFileIsReportedAndTheStartCompletes) {
  p.files.AddFile("/lists/locked.m3u");
  p.files.SetUnreadable("/lists/locked.m3u");
  TDODEDEV& t = Start("/lists/locked.m3u");
  EXPECT_EQ(p.dialogs.boxes.size(), 1u);
  EXPECT_FALSE(idleInstalled);
  EXPECT_EQ(t.List().PlayList.size(), 0u);
  EXPECT_EQ(t.Form().Label(3).text, "100");
  EXPECT_EQ(t.List().ReferenceExtension, "");
}

TEST_F(StartupTest, RelativeArgumentsStartAtTheCurrentFolder) {
  Track("/a.mp3");
  Track("/home/u/music/a.mp3");
  Track("/home/u/music/album/b.mp3");
  p.files.SetCurrentFolder("/home/u/music/album/");
  EXPECT_EQ(Start("b.mp3").List().PlayList.Items(),
            std::vector<std::string>{"/home/u/music/album/b.mp3"});
  EXPECT_EQ(Playing(), "/home/u/music/album/b.mp3");
  // "." and ".." are folders, not extensions.
  EXPECT_EQ(Start(".").List().PlayList.Items(),
            std::vector<std::string>{"/home/u/music/album/b.mp3"});
  EXPECT_EQ(Playing(), "/home/u/music/album/b.mp3");
  EXPECT_EQ(Start("..").List().PlayList.size(), 2u);
  EXPECT_EQ(Playing(), "/home/u/music/a.mp3");
  EXPECT_EQ(Start("./../album//").List().PlayList.size(), 1u);
  EXPECT_EQ(Start("../a.mp3").CurrentIndex(), 0);
  EXPECT_EQ(Playing(), "/home/u/music/a.mp3");
}

TEST_F(StartupTest, AudioFileArgumentPrefersTheExactNameOverOneDifferingInCase) {
  Track("/music/song.mp3");
  Track("/music/Song.mp3");
  Start("/music/Song.mp3");
  EXPECT_EQ(Playing(), "/music/Song.mp3");
  Start("/music/song.mp3");
  EXPECT_EQ(Playing(), "/music/song.mp3");
  // A name that exists in no case is no stand-in for its folder.
  EXPECT_EQ(Start("/music/SONG.MP3").Form().RowCount(), 0);
  EXPECT_EQ(p.diagnostics.lines.back(), "\"/music/SONG.MP3\" does not exist");
}

TEST_F(StartupTest, AutoPlayWithoutArgumentPlaysTheProgramsDrive) {
  p.files.SetDrive("/media/stick/", DriveType::Removable);
  p.files.AddFolder("/media/stick/solka");
  p.files.AddFile("/media/stick/solka/solka.ini", "[SETTING]\nAutoPlay=1\n");
  Track("/media/stick/m/a.mp3");
  TDODEDEV& t = Start("", "/media/stick/solka/solka");
  EXPECT_EQ(t.List().PlayList.Items(), std::vector<std::string>{"/media/stick/m/a.mp3"});
  EXPECT_EQ(Playing(), "/media/stick/m/a.mp3");

  // Installed in the system's program folders, it plays the user's music, not the system.
  p.files.AddFile("/home/user/.config/solka/solka.ini", "[SETTING]\nAutoPlay=1\n");
  p.files.SetReadOnlyFolder("/usr/bin");
  Track("/home/user/Music/b.mp3");
  Start("", "/usr/bin/solka");
  EXPECT_EQ(player->List().PlayList.Items(), std::vector<std::string>{"/home/user/Music/b.mp3"});
}

// --- Where the settings live -----------------------------------------------------------------

TEST_F(StartupTest, SettingsLiveBesideAWritableProgram) {
  TDODEDEV& t = Start("");
  EXPECT_EQ(t.Startup().SettingsFolder, "/opt/solka");
  EXPECT_EQ(t.Startup().SettingsFilePath, "/opt/solka/solka.ini");
  EXPECT_EQ(t.Startup().ProgramPath, "/opt/solka/solka");
}

TEST_F(StartupTest, ReadOnlyProgramFolderMovesTheSettingsToTheUserConfigFolder) {
  p.files.SetReadOnlyFolder("/opt/solka");
  p.files.SetConfigFolder("/home/u/.config/solka/");
  TDODEDEV& t = Start("");
  EXPECT_EQ(t.Startup().SettingsFilePath, "/home/u/.config/solka/solka.ini");
  t.SaveSettings();
  EXPECT_TRUE(p.files.HasFile("/home/u/.config/solka/solka.ini"));
}

TEST_F(StartupTest, OpticalMediaKeepSettingsInTheTemporaryFolderAndPlayTheDisc) {
  p.files.SetDrive("/media/cd/", DriveType::CdRom);
  p.files.AddFolder("/media/cd");
  p.files.SetTempFolder("/tmp/");
  p.files.AddFolder("/tmp");
  p.files.AddFile("/tmp/solka.ini", "[SETTING]\nListHide=0\nAutoPlay=0\nTop2=40\n");
  Track("/media/cd/01.mp3");
  TDODEDEV& t = Start("", "/media/cd/solka");
  EXPECT_EQ(t.Startup().SettingsFilePath, "/tmp/solka.ini");
  EXPECT_EQ(t.Setting(ListHide), "1");
  EXPECT_EQ(t.Setting(AutoPlay), "1");
  EXPECT_TRUE(t.Window().CompactView);
  EXPECT_EQ(t.Form().Height(), 68);
  EXPECT_EQ(t.Form().Top(), 40);
  EXPECT_EQ(Playing(), "/media/cd/01.mp3");
  t.SaveSettings();
  const IniFile saved(p.files.Contents("/tmp/solka.ini"));
  EXPECT_EQ(saved.ReadString("SETTING", "ListHide", ""), "1");
  EXPECT_EQ(saved.ReadString("SETTING", "AutoPlay", ""), "1");
}

TEST_F(StartupTest, CompanionIsLookedForOnlyWhenTheWindowIsNotForeground) {
  p.files.AddFile("/opt/solka/qvz");
  EXPECT_TRUE(Start("").Companion().CompanionAvailable);
  EXPECT_EQ(player->Companion().CompanionPath, "/opt/solka/qvz");
  p.screen.foreground = true;
  EXPECT_FALSE(Start("").Companion().CompanionAvailable);
  EXPECT_EQ(player->Companion().CompanionPath, "");
}

// --- Window restored from the settings -------------------------------------------------------

TEST_F(StartupTest, WindowStateFollowsTheSettings) {
  Settings("Left=abc\nTop=120\nTop2=999\nCloseBtn=1\nHint=0\nListFile=1\nSort=1\n");
  TDODEDEV& t = Start("");
  EXPECT_EQ(t.Form().Left(), 0);
  EXPECT_EQ(t.Form().Top(), 120);
  EXPECT_EQ(t.Form().Height(), 313);
  EXPECT_FALSE(t.Window().CompactView);
  EXPECT_TRUE(t.Form().CloseBox());
  EXPECT_FALSE(t.Form().HintsShown());
  EXPECT_TRUE(t.List().ListMode);
  EXPECT_TRUE(t.PlayListSorted());
  EXPECT_EQ(t.Window().ScreenHeight, p.screen.availableHeight);
  EXPECT_EQ(t.Window().CaptionHeight, p.screen.captionHeight);
}

TEST_F(StartupTest, EmptyPositionsKeepTheDesignedPlace) {
  const MainForm designed;
  TDODEDEV& t = Start("");
  EXPECT_EQ(t.Form().Left(), designed.Left());
  EXPECT_EQ(t.Form().Top(), designed.Top());
  EXPECT_FALSE(t.Form().CloseBox());
  EXPECT_TRUE(t.Form().HintsShown());
}

TEST_F(StartupTest, ModeCodeSetsTheOrderOfPlayChecks) {
  struct Case {
    const char* value;
    int code;
    const char* checked;  // the items with a check mark, in N1 N2 R1 R2 R3 order
  };
  const Case cases[] = {{"1", 1, "N1 R2"}, {"2", 2, "N1 R3"}, {"3", 3, "N2 R2"}, {"4", 4, "N2 R3"},
                        {"5", 5, "N1 R1"}, {"x", 1, "N1 R2"}, {"0", 0, ""},      {"6", 6, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    Settings(std::string("JukeMode=") + c.value + "\n");
    TDODEDEV& t = Start("");
    EXPECT_EQ(static_cast<int>(t.Sequence().ModeCode), c.code);
    std::string checked;
    for (const char* item : {"N1", "N2", "R1", "R2", "R3"})
      if (t.Form().Checked(item)) checked += (checked.empty() ? "" : " ") + std::string(item);
    EXPECT_EQ(checked, c.checked);
  }
}

TEST_F(StartupTest, VolumeLabelShowsZeroToHundred) {
  for (const auto& [volume, shown] : {std::pair{"-2550", "74"}, {"0", "100"}, {"-10000", "0"}}) {
    Settings(std::string("Volume=") + volume + "\n");
    EXPECT_EQ(Start("").Form().Label(3).text, shown) << volume;
  }
}

TEST_F(StartupTest, TaskButtonStaysWhenTheSettingSaysSo) {
  Settings("TaskButton=1\n");
  EXPECT_TRUE(Start("").Form().TaskButtonVisible());
}

}  // namespace
}  // namespace solka
