// Hiding to the notification area and back, the list box's focus under the mouse, the task-bar
// button and close box settings, and when the companion program is started.
#include <gtest/gtest.h>

#include "tests/core/player_fixture.h"

namespace solka {
namespace {

class TrayTest : public PlayerTest {
 protected:
  // A player started with the companion program beside it while another program had the focus.
  std::unique_ptr<TDODEDEV> WithCompanion(TestPlatform& q) {
    q.files.AddFile("/opt/solka/qvz", "#!/bin/sh\n");
    return PlayerBuilder(q).Start();
  }
};

TEST_F(TrayTest, TrayIconClicksToggleTheWindowAndBringItToTheFront) {
  player.FIListBox1MouseEnter();
  player.TrayIconClick();
  EXPECT_TRUE(player.Window().InTray);
  EXPECT_FALSE(player.Form().Visible());
  EXPECT_EQ(player.Form().Active(), ActiveControl::None);
  EXPECT_EQ(p.screen.broughtToFront, 0);

  player.TrayIconClick();
  EXPECT_FALSE(player.Window().InTray);
  EXPECT_TRUE(player.Form().Visible());
  EXPECT_EQ(player.Form().Active(), ActiveControl::None);
  EXPECT_EQ(p.screen.broughtToFront, 2);  // once by the panel command, once more by the click

  player.SpeedButton1Click();
  player.N11Click();
  EXPECT_TRUE(player.Form().Visible());
  EXPECT_EQ(p.screen.broughtToFront, 3);
}

TEST_F(TrayTest, ListTakesTheFocusWhileTheMouseIsOverIt) {
  player.FIListBox1MouseEnter();
  EXPECT_TRUE(player.Window().MouseOverList);
  EXPECT_EQ(player.Form().Active(), ActiveControl::ListBox);
  player.FIListBox1MouseLeave();
  EXPECT_FALSE(player.Window().MouseOverList);
  EXPECT_EQ(player.Form().Active(), ActiveControl::None);
}

TEST_F(TrayTest, TaskButtonAndCloseBoxFollowTheirSettingsBothWays) {
  for (const char* value : {"1", "0", "", "yes"}) {
    TestPlatform q;
    auto t = PlayerBuilder(q).Setting(TaskButton, value).Setting(CloseBtn, value).Start();
    t->ApplyTaskButton();
    t->ApplyCloseBtn();
    const bool on = std::string(value) == "1";
    EXPECT_EQ(t->Form().TaskButtonVisible(), on) << value;
    EXPECT_EQ(t->Form().CloseBox(), on) << value;
  }
}

TEST_F(TrayTest, CompanionStartsOnlyWhileAnotherProgramHasTheFocus) {
  player.FormMouseMove();  // not found at start-up
  EXPECT_TRUE(p.shell.started.empty());

  TestPlatform q;
  auto t = WithCompanion(q);
  q.screen.foreground = true;
  t->TrayIconMouseMove();
  t->FormMouseMove();
  EXPECT_TRUE(q.shell.started.empty());

  q.screen.foreground = false;
  t->TrayIconMouseMove();
  ASSERT_EQ(q.shell.started.size(), 1u);
  EXPECT_EQ(q.shell.started[0].program, "/opt/solka/qvz");
  EXPECT_EQ(q.shell.started[0].arguments, (std::vector<std::string>{"-c", "TDODEDEV"}));
  EXPECT_TRUE(q.shell.started[0].hidden);
}

TEST_F(TrayTest, ABurstOfMouseMovesStartsTheCompanionOncePerSecondOfRealTime) {
  TestPlatform q;
  auto t = WithCompanion(q);
  q.clock.Advance(999);  // just before the clock's second changes
  for (int i = 0; i < 20; ++i) t->FormMouseMove();
  t->TrayIconMouseMove();
  EXPECT_EQ(q.shell.started.size(), 1u);
  // A new second on the clock 2 ms later is not a second of real time.
  q.clock.Advance(2);
  t->FormMouseMove();
  q.clock.Advance(997);
  t->FormMouseMove();
  EXPECT_EQ(q.shell.started.size(), 1u);
  q.clock.Advance(1);
  t->FormMouseMove();
  EXPECT_EQ(q.shell.started.size(), 2u);
}

TEST_F(TrayTest, CompanionIsNeverStartedWhenThePlayerCameUpInFront) {
  TestPlatform q;
  q.files.AddFile("/opt/solka/qvz", "#!/bin/sh\n");
  q.screen.foreground = true;
  auto t = PlayerBuilder(q).Start();
  q.screen.foreground = false;  // the window loses the focus later
  t->FormMouseMove();
  t->TrayIconMouseMove();
  EXPECT_TRUE(q.shell.started.empty());
}

TEST_F(TrayTest, CompanionBesideTheProgramIsFoundAtStartUp) {
  TestPlatform q;
  auto t = WithCompanion(q);
  EXPECT_EQ(t->Companion().CompanionPath, "/opt/solka/qvz");
  t->TrayIconMouseMove();
  ASSERT_EQ(q.shell.started.size(), 1u);
  EXPECT_EQ(q.shell.started[0].program, "/opt/solka/qvz");
}

}  // namespace
}  // namespace solka
