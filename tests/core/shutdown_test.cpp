// Closing the main window: what the settings file holds afterwards, the flush of a removable
// drive, and the chosen program opened at exit.
#include <gtest/gtest.h>

#include "settings/ini_file.h"
#include "tests/core/player_fixture.h"

namespace solka {
namespace {

constexpr const char* kIni = "/opt/solka/solka.ini";
constexpr const char* kClosingCaption = "終了しています･･･";

class ShutdownTest : public ::testing::Test {
 protected:
  TDODEDEV& Start(PlayerBuilder builder) {
    owned = builder.Start();
    return *owned;
  }
  PlayerBuilder With() { return PlayerBuilder(p); }
  std::string Saved(std::string_view key) const { return SavedSetting(p.files, kIni, key); }
  // The user moved the window.
  static void MoveTo(TDODEDEV& t, int left, int top) {
    const MainForm& f = t.Form();
    t.FormForView().SetGeometryFromView(left, top, f.Width(), f.Height());
  }

  TestPlatform p;
  std::unique_ptr<TDODEDEV> owned;
};

TEST_F(ShutdownTest, CloseInCompactViewStoresTheTopAsTop2AndKeepsTop) {
  TDODEDEV& player = Start(With().SettingsFile(
      "[SETTING]\r\nTop=120\r\nTop2=80\r\nFileType=\r\nListHide=1\r\nListFile=1\r\n"
      "JukeMode=4\r\n[RECENT_PATH]\r\n0=/music/\r\n"));
  MoveTo(player, 40, 500);

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
  TDODEDEV& player = Start(With().Setting(Top2, "80").Setting(FileType, "2"));
  MoveTo(player, player.Form().Left(), 300);
  player.FormClose();
  EXPECT_EQ(Saved("ListHide"), "0");
  EXPECT_EQ(Saved("Top"), "300");
  EXPECT_EQ(Saved("Top2"), "80");
  EXPECT_EQ(Saved("ListFile"), "0");
  EXPECT_EQ(Saved("FileType"), "2");
}

TEST_F(ShutdownTest, APositionTheDisplayServerNeverToldIsNotStored) {
  TDODEDEV& player = Start(With().Setting(Top, "120").Setting(Left, "33"));
  player.FormForView().SetPositionReportedFromView(false);  // Wayland
  MoveTo(player, -3, -30);
  player.FormClose();
  EXPECT_EQ(Saved("Left") + Saved("Top"), "33120");
}

TEST_F(ShutdownTest, BroadcastSwitchIsSavedFromItsCheckMark) {
  TDODEDEV& player = Start(With().Setting("WMP_NowPlaying", "0"));
  player.Click("Messenger1");
  player.FormClose();
  EXPECT_TRUE(player.TrackInfo().NowPlayingOn);
  EXPECT_EQ(Saved("WMP_NowPlaying"), "1");
}

TEST_F(ShutdownTest, CloseWhilePlayingStopsAndReleasesTheTrack) {
  TDODEDEV& player = Start(With().Tracks(2));
  player.FormForView().SetItemIndexFromView(0);
  player.FIListBox1Click();
  ASSERT_TRUE(player.Playback().Playing);
  player.FormClose();
  EXPECT_FALSE(player.Playback().Playing);
  EXPECT_EQ(p.media.LiveGraphs(), 0);
  EXPECT_TRUE(p.files.HasFile(kIni));
}

TEST_F(ShutdownTest, PendingMessagesRunOnceAndASecondCloseAmongThemChangesNothing) {
  p.files.AddFile("/usr/bin/after", "");
  TDODEDEV& player = Start(With().Setting(AppName, "/usr/bin/after").Setting(Run_App, "1"));
  const int before = p.loop.ProcessMessagesCalls();
  p.loop.Post([&player] { player.FormClose(); });
  player.FormClose();
  EXPECT_EQ(p.loop.ProcessMessagesCalls(), before + 1);
  EXPECT_EQ(p.shell.opened.size(), 1u);
  EXPECT_EQ(p.clock.Sleeps(), std::vector<int>{2000});
}

TEST_F(ShutdownTest, ChosenProgramOpensAfterTheClosingCaptionAndTwoSeconds) {
  p.files.AddFile("/usr/bin/after", "");
  TDODEDEV& player = Start(With().Setting(AppName, "/usr/bin/after").Setting(Run_App, "1"));
  player.FormClose();
  EXPECT_EQ(player.Form().Caption(), kClosingCaption);
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
    auto other = PlayerBuilder(q).Setting(AppName, path).Setting(Run_App, runApp).Start();
    const std::string caption = other->Form().Caption();
    other->FormClose();
    EXPECT_EQ(other->Form().Caption(), caption) << path << " " << runApp;
    EXPECT_TRUE(q.clock.Sleeps().empty()) << path << " " << runApp;
    EXPECT_TRUE(q.shell.opened.empty()) << path << " " << runApp;
  }
}

TEST_F(ShutdownTest, SettingsOnARemovableDriveAreFlushedOnce) {
  p.files.SetDrive("/media/stick/", DriveType::Removable);
  TDODEDEV& player = Start(With().Program("/media/stick/solka"));
  ASSERT_EQ(player.Startup().SettingsFilePath, "/media/stick/solka.ini");
  player.FormClose();
  EXPECT_EQ(p.files.FlushedDrives(), std::vector<std::string>{"/media/stick/"});
  EXPECT_TRUE(p.files.HasFile("/media/stick/solka.ini"));
}

TEST_F(ShutdownTest, SettingsOnAFixedDriveAreNotFlushed) {
  p.files.SetDrive("/media/stick/", DriveType::Removable);
  TDODEDEV& player = Start(With());
  player.FormClose();
  EXPECT_TRUE(p.files.FlushedDrives().empty());
}

TEST_F(ShutdownTest, ExitCommandOnlyAsksTheWindowToClose) {
  TDODEDEV& player = Start(With());
  player.ToolButton11Click();
  EXPECT_EQ(p.screen.closeRequests, 1);
  EXPECT_FALSE(p.files.HasFile(kIni));
  EXPECT_FALSE(player.Window().Closing);
}

}  // namespace
}  // namespace solka
