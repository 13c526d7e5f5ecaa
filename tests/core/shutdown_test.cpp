// Closing the main window: what the settings file holds afterwards, the flush of a removable
// drive, and the chosen program opened at exit.
#include <gtest/gtest.h>

#include "player_fixture.h"
#include "settings/ini_file.h"

namespace solka {
namespace {

constexpr const char* kIni = "/opt/solka/solka.ini";
constexpr const char* kClosingCaption = "終了しています･･･";

class ShutdownTest : public PlayerTest {
 protected:
  ShutdownTest() {
    p.files.AddFolder("/opt/solka/");
    player.SettingsFilePath = kIni;
  }

  std::string Saved(std::string_view key) const { return SavedSetting(p.files, kIni, key); }
  void ChooseProgram(const std::string& path, const char* runApp) {
    player.Settings[AppName] = path;
    player.Settings[Run_App] = runApp;
  }
};

TEST_F(ShutdownTest, CloseInCompactViewStoresTheTopAsTop2AndKeepsTop) {
  p.files.AddFile(kIni, "[SETTING]\r\nTop=120\r\nTop2=80\r\n[RECENT_PATH]\r\n0=/music/\r\n");
  player.Settings[Top] = "120";
  player.Settings[FileType] = "";
  player.CompactView = true;
  player.ListMode = true;
  player.ModeCode = 4;
  player.Form.SetLeft(40);
  player.Form.SetTop(500);

  player.FormClose();

  EXPECT_EQ(Saved("ListHide"), "1");
  EXPECT_EQ(Saved("Top2"), "500");
  EXPECT_EQ(Saved("Top"), "120");
  EXPECT_EQ(Saved("Left"), "40");
  EXPECT_EQ(Saved("JukeMode"), "4");
  EXPECT_EQ(Saved("ListFile"), "1");
  EXPECT_EQ(Saved("FileType"), "0");
  EXPECT_EQ(IniFile(p.files.Contents(kIni)).ReadString("RECENT_PATH", "0", ""), "/music/");
}

TEST_F(ShutdownTest, CloseInFullViewStoresTopAndKeepsTop2) {
  player.Settings[Top2] = "80";
  player.Settings[FileType] = "2";
  player.Form.SetTop(300);
  player.FormClose();
  EXPECT_EQ(Saved("ListHide"), "0");
  EXPECT_EQ(Saved("Top"), "300");
  EXPECT_EQ(Saved("Top2"), "80");
  EXPECT_EQ(Saved("ListFile"), "0");
  EXPECT_EQ(Saved("FileType"), "2");
}

TEST_F(ShutdownTest, BroadcastSwitchIsSavedFromItsCheckMark) {
  player.NowPlayingOn = false;
  player.Form.SetChecked("Messenger1", true);
  player.FormClose();
  EXPECT_TRUE(player.NowPlayingOn);
  EXPECT_EQ(Saved("WMP_NowPlaying"), "1");
}

TEST_F(ShutdownTest, CloseWhilePlayingStopsAndReleasesTheTrack) {
  LoadTracks(2);
  player.SelectRow(0);
  player.FIListBox1Click();
  ASSERT_TRUE(player.Playing);
  player.FormClose();
  EXPECT_FALSE(player.Playing);
  EXPECT_EQ(player.Graph, nullptr);
  EXPECT_TRUE(p.files.HasFile(kIni));
}

TEST_F(ShutdownTest, PendingMessagesRunOnceAndASecondCloseAmongThemChangesNothing) {
  p.files.AddFile("/usr/bin/after", "");
  ChooseProgram("/usr/bin/after", "1");
  p.loop.Post([this] { player.FormClose(); });
  player.FormClose();
  EXPECT_EQ(p.loop.ProcessMessagesCalls(), 1);
  EXPECT_EQ(p.shell.opened.size(), 1u);
  EXPECT_EQ(p.clock.Sleeps(), std::vector<int>{2000});
}

TEST_F(ShutdownTest, ChosenProgramOpensAfterTheClosingCaptionAndTwoSeconds) {
  p.files.AddFile("/usr/bin/after", "");
  ChooseProgram("/usr/bin/after", "1");
  player.FormClose();
  EXPECT_EQ(player.Form.Caption(), kClosingCaption);
  EXPECT_EQ(p.clock.Sleeps(), std::vector<int>{2000});
  EXPECT_EQ(p.shell.opened, std::vector<std::string>{"/usr/bin/after"});
  EXPECT_TRUE(p.shell.started.empty());
}

TEST_F(ShutdownTest, NoProgramIsOpenedUnlessItExistsAndIsSwitchedOn) {
  const std::pair<const char*, const char*> cases[] = {
      {"/usr/bin/missing", "1"}, {"", "1"}, {"/usr/bin/after", "0"}, {"/usr/bin/after", ""}};
  for (const auto& [path, runApp] : cases) {
    TestPlatform q;
    q.files.AddFile("/usr/bin/after", "");
    TDODEDEV other(q.services, {"/opt/solka/solka", ""});
    other.SettingsFilePath = kIni;
    other.Settings.resize(kSettingsCount);
    other.Settings[AppName] = path;
    other.Settings[Run_App] = runApp;
    const std::string caption = other.Form.Caption();
    other.FormClose();
    EXPECT_EQ(other.Form.Caption(), caption) << path << " " << runApp;
    EXPECT_TRUE(q.clock.Sleeps().empty()) << path << " " << runApp;
    EXPECT_TRUE(q.shell.opened.empty()) << path << " " << runApp;
  }
}

TEST_F(ShutdownTest, SettingsOnARemovableDriveAreFlushedOnce) {
  p.files.SetDrive("/media/stick/", DriveType::Removable);
  p.files.AddFolder("/media/stick/");
  player.SettingsFilePath = "/media/stick/solka.ini";
  player.FormClose();
  EXPECT_EQ(p.files.FlushedDrives(), std::vector<std::string>{"/media/stick/"});
  EXPECT_TRUE(p.files.HasFile("/media/stick/solka.ini"));
}

TEST_F(ShutdownTest, SettingsOnAFixedDriveAreNotFlushed) {
  p.files.SetDrive("/media/stick/", DriveType::Removable);
  player.FormClose();
  EXPECT_TRUE(p.files.FlushedDrives().empty());
}

TEST_F(ShutdownTest, ExitCommandOnlyAsksTheWindowToClose) {
  player.ToolButton11Click();
  EXPECT_EQ(p.screen.closeRequests, 1);
  EXPECT_FALSE(p.files.HasFile(kIni));
  EXPECT_FALSE(player.Closing);
}

}  // namespace
}  // namespace solka
