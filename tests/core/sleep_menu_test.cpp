// Arming the sleep timer from the menus: the deadline text, the button's look, the check marks
// of both menus, the refusals of the after-the-list command, and a deadline that fires.
#include <gtest/gtest.h>

#include "tests/core/player_fixture.h"

namespace solka {
namespace {

class SleepMenuTest : public PlayerTest {
 protected:
  void At(int hour, int minute, int second = 0) { p.clock.Set(hour * 3600 + minute * 60 + second); }
  void ExpectChecked(const char* sleepItem, const char* trayItem) {
    for (const char* item : {"N301", "N302", "N601", "N602", "N21", "N212", "N23", "N232"}) {
      const bool expected = item == std::string(sleepItem) || item == std::string(trayItem);
      EXPECT_EQ(player.Form().Checked(item), expected) << item;
    }
  }
};

TEST_F(SleepMenuTest, DeadlinesWrapTheHourAndMidnightWithoutLeadingZeros) {
  const struct {
    int hour, minute;
    const char* item;
    const char* deadline;
  } cases[] = {{23, 45, "N301", "0:15"}, {23, 10, "N601", "0:10"}, {10, 5, "N301", "10:35"},
               {10, 35, "N302", "11:5"}, {10, 30, "N301", "11:0"}, {9, 59, "N602", "10:59"}};
  for (const auto& c : cases) {
    At(c.hour, c.minute, 40);
    player.Click(c.item);
    EXPECT_EQ(player.Sleep().SleepDeadline, c.deadline)
        << c.item << " at " << c.hour << ":" << c.minute;
    EXPECT_EQ(player.Form().SleepHint(), "スリープ設定中 ( " + std::string(c.deadline) + " )");
  }
}

TEST_F(SleepMenuTest, ThirtyMinutesArmsTheTimerAndMarksBothMenus) {
  At(10, 5);
  player.Click("N302");
  EXPECT_TRUE(player.Sleep().SleepArmed);
  EXPECT_FALSE(player.Sleep().SleepAfterListEnd);
  EXPECT_EQ(player.Form().SleepImage(), 8);
  ExpectChecked("N301", "N302");

  player.Click("N30");  // cancel
  EXPECT_FALSE(player.Sleep().SleepArmed);
  EXPECT_EQ(player.Form().SleepImage(), 7);
  ExpectChecked("", "");
  p.loop.AdvanceTime(31 * 60 * 1000);  // the timer went with the setting
  EXPECT_TRUE(p.power.actions.empty());
}

TEST_F(SleepMenuTest, ArmedDeadlineStopsPlayAndRunsThePowerAction) {
  LoadTracks(3, 3600);
  Select(0);
  player.FIListBox1Click();
  At(22, 50, 30);
  player.N301Click();
  p.loop.AdvanceTime(29 * 60 * 1000);  // 23:19:30: not yet
  EXPECT_TRUE(player.Playback().Playing);
  EXPECT_TRUE(p.power.actions.empty());
  p.loop.AdvanceTime(31 * 1000);  // 23:20:01
  EXPECT_FALSE(player.Playback().Playing);
  EXPECT_FALSE(player.Sleep().SleepArmed);
  EXPECT_EQ(p.power.actions, std::vector<std::string>{"power-off"});
}

TEST_F(SleepMenuTest, ADeadlineFiresOnceInItsMinuteAndSleepModeChoosesTheAction) {
  const struct {
    const char* mode;
    std::vector<std::string> actions;
    int closes;
  } cases[] = {{"", {"power-off"}, 1},
               {"0", {"power-off"}, 1},
               {"1", {"suspend"}, 0},
               {"2", {"hibernate"}, 0},
               {"3", {}, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("SleepMode \"") + c.mode + "\"");
    TestPlatform q;
    auto t = PlayerBuilder(q).Setting(SleepMode, c.mode).Tracks(1, 7200).Start();
    t->FormForView().SetItemIndexFromView(0);
    t->FIListBox1Click();
    q.clock.Set(23 * 3600 + 59 * 60 + 10);
    t->N301Click();
    ASSERT_EQ(t->Sleep().SleepDeadline, "0:29");
    q.loop.AdvanceTime(29 * 60 * 1000 + 49 * 1000);  // 0:28:59
    EXPECT_TRUE(t->Playback().Playing);
    EXPECT_TRUE(q.power.actions.empty());
    q.loop.AdvanceTime(60 * 1000);  // the whole minute 0:29 passes under the checks
    EXPECT_FALSE(t->Playback().Playing);
    EXPECT_FALSE(t->Sleep().SleepArmed);
    EXPECT_EQ(t->Form().SleepImage(), 7);
    EXPECT_EQ(t->Form().SleepHint(), "スリープ設定");
    EXPECT_EQ(q.power.actions, c.actions);
    EXPECT_EQ(q.screen.closeRequests, c.closes);
  }
}

// A suspend or a clock set forward over the deadline's minute fires it at the first check after,
// once; a clock set back passes over nothing and the deadline waits for its minute.
TEST_F(SleepMenuTest, AClockJumpOverTheDeadlineFiresItOnceAndAJumpBackStillWaits) {
  const auto check = [this](int hour, int minute, int second) {
    At(hour, minute, second);
    player.Timer2Timer();
    return p.power.actions.size();
  };
  At(10, 0);
  player.N301Click();  // 10:30
  EXPECT_EQ(check(9, 0, 0), 0u);
  EXPECT_EQ(check(10, 29, 59), 0u);
  EXPECT_EQ(check(10, 30, 0), 1u);
  At(23, 50);
  player.N301Click();               // 0:20
  EXPECT_EQ(check(24, 10, 0), 1u);  // the next day
  EXPECT_EQ(check(24, 45, 0), 2u);  // over the deadline
  EXPECT_EQ(check(24, 45, 1), 2u);
}

TEST_F(SleepMenuTest, StopKeepsATimeDeadline) {
  LoadTracks(1, 7200);
  Select(0);
  player.FIListBox1Click();
  At(23, 50);
  player.N301Click();
  player.ToolButton9Click();
  EXPECT_TRUE(player.Sleep().SleepArmed);
  EXPECT_EQ(player.Sleep().SleepDeadline, "0:20");
  p.loop.AdvanceTime(30 * 60 * 1000 + 1000);
  EXPECT_EQ(p.power.actions, std::vector<std::string>{"power-off"});
}

TEST_F(SleepMenuTest, AfterTheListIsRefusedWithoutRowsOrWithARepeatingMode) {
  SetMode(1);
  player.N23Click();
  ASSERT_EQ(p.dialogs.boxes.size(), 1u);
  EXPECT_EQ(p.dialogs.boxes[0].text, "再生できるリストがありません");
  EXPECT_EQ(p.dialogs.boxes[0].caption, "スリープ解除");

  LoadTracks(2);
  for (int mode : {2, 4, 5}) {
    SetMode(mode);
    player.Click("N232");
    EXPECT_EQ(p.dialogs.boxes.back().text, "再生モードが「１回」に設定されていません") << mode;
  }
  EXPECT_EQ(p.dialogs.boxes.size(), 4u);
  EXPECT_FALSE(player.Sleep().SleepAfterListEnd);
  EXPECT_EQ(player.Form().SleepImage(), 7);
}

TEST_F(SleepMenuTest, AfterTheListAndADeadlineReplaceEachOther) {
  LoadTracks(2);
  SetMode(3);
  At(10, 0);
  player.N301Click();
  player.N23Click();
  EXPECT_TRUE(player.Sleep().SleepAfterListEnd);
  EXPECT_FALSE(player.Sleep().SleepArmed);
  EXPECT_TRUE(player.Sleep().SleepDeadline.empty());
  EXPECT_EQ(player.Form().SleepHint(), "再生終了後スリープ設定中");
  ExpectChecked("N23", "N232");
  p.loop.AdvanceTime(31 * 60 * 1000);  // the deadline it replaced never fires
  EXPECT_TRUE(p.power.actions.empty());

  player.N601Click();
  EXPECT_FALSE(player.Sleep().SleepAfterListEnd);
  EXPECT_TRUE(player.Sleep().SleepArmed);
  ExpectChecked("N601", "N602");
}

TEST_F(SleepMenuTest, EveryArmingPowersTheMonitorDownWhenAsked) {
  TestPlatform q;
  auto t = PlayerBuilder(q).Setting("MonitorPower", "1").Tracks(1).Start();
  t->N301Click();
  t->N23Click();
  EXPECT_EQ(q.power.actions, (std::vector<std::string>{"monitor-off", "monitor-off"}));
  EXPECT_EQ(q.clock.Sleeps(), (std::vector<int>{1500, 1500}));
}

}  // namespace
}  // namespace solka
