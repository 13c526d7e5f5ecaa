// Hiding to the notification area and back, the list box's focus under the mouse, the task-bar
// button and close box settings, and when the companion program is started.
#include <gtest/gtest.h>

#include "player_fixture.h"

namespace solka {
namespace {

class TrayTest : public PlayerTest {};

TEST_F(TrayTest, TrayIconClicksToggleTheWindowAndBringItToTheFront) {
  player.FIListBox1MouseEnter();
  player.TrayIconClick();
  EXPECT_TRUE(player.InTray);
  EXPECT_FALSE(player.Form.Visible());
  EXPECT_EQ(player.Form.Active(), ActiveControl::None);
  EXPECT_EQ(p.screen.broughtToFront, 0);

  player.TrayIconClick();
  EXPECT_FALSE(player.InTray);
  EXPECT_TRUE(player.Form.Visible());
  EXPECT_EQ(player.Form.Active(), ActiveControl::None);
  EXPECT_EQ(p.screen.broughtToFront, 2);  // once by the panel command, once more by the click

  player.SpeedButton1Click();
  player.N11Click();
  EXPECT_TRUE(player.Form.Visible());
  EXPECT_EQ(p.screen.broughtToFront, 3);
}

TEST_F(TrayTest, ListTakesTheFocusWhileTheMouseIsOverIt) {
  player.FIListBox1MouseEnter();
  EXPECT_TRUE(player.MouseOverList);
  EXPECT_EQ(player.Form.Active(), ActiveControl::ListBox);
  player.FIListBox1MouseLeave();
  EXPECT_FALSE(player.MouseOverList);
  EXPECT_EQ(player.Form.Active(), ActiveControl::None);
}

TEST_F(TrayTest, TaskButtonAndCloseBoxFollowTheirSettingsBothWays) {
  for (const char* value : {"1", "0", "", "yes", "1"}) {
    player.Settings[TaskButton] = value;
    player.Settings[CloseBtn] = value;
    player.ApplyTaskButton();
    player.ApplyCloseBtn();
    const bool on = std::string(value) == "1";
    EXPECT_EQ(player.Form.TaskButtonVisible(), on) << value;
    EXPECT_EQ(player.Form.CloseBox(), on) << value;
  }
}

TEST_F(TrayTest, CompanionStartsOnlyWhileAnotherProgramHasTheFocus) {
  player.CompanionPath = "/opt/solka/qvz";
  player.FormMouseMove();  // not found at start-up
  EXPECT_TRUE(p.shell.started.empty());

  player.CompanionAvailable = true;
  p.screen.foreground = true;
  player.TrayIconMouseMove();
  player.FormMouseMove();
  EXPECT_TRUE(p.shell.started.empty());

  p.screen.foreground = false;
  player.TrayIconMouseMove();
  ASSERT_EQ(p.shell.started.size(), 1u);
  EXPECT_EQ(p.shell.started[0].program, "/opt/solka/qvz");
  EXPECT_EQ(p.shell.started[0].arguments, (std::vector<std::string>{"-c", "TDODEDEV"}));
}

TEST_F(TrayTest, ABurstOfMouseMovesStartsTheCompanionOncePerSecondOfRealTime) {
  player.CompanionPath = "/opt/solka/qvz";
  player.CompanionAvailable = true;
  p.clock.Advance(999);  // just before the clock's second changes
  for (int i = 0; i < 20; ++i) player.FormMouseMove();
  player.TrayIconMouseMove();
  EXPECT_EQ(p.shell.started.size(), 1u);
  // A new second on the clock 2 ms later is not a second of real time.
  p.clock.Advance(2);
  player.FormMouseMove();
  p.clock.Advance(997);
  player.FormMouseMove();
  EXPECT_EQ(p.shell.started.size(), 1u);
  p.clock.Advance(1);
  player.FormMouseMove();
  EXPECT_EQ(p.shell.started.size(), 2u);
}

TEST_F(TrayTest, CompanionIsNeverStartedWhenThePlayerCameUpInFront) {
  p.files.AddFile("/opt/solka/qvz", "#!/bin/sh\n");
  p.screen.foreground = true;
  player.FormCreate();
  p.screen.foreground = false;  // the window loses the focus later
  player.FormMouseMove();
  player.TrayIconMouseMove();
  EXPECT_TRUE(p.shell.started.empty());
}

TEST_F(TrayTest, CompanionBesideTheProgramIsFoundAtStartUp) {
  p.files.AddFile("/opt/solka/qvz", "#!/bin/sh\n");
  player.FormCreate();
  player.TrayIconMouseMove();
  ASSERT_EQ(p.shell.started.size(), 1u);
  EXPECT_EQ(p.shell.started[0].program, "/opt/solka/qvz");
}

}  // namespace
}  // namespace solka
