#include "tests/core/player_fixture.h"

namespace solka {
namespace {

using Transport = PlayerTest;

TEST_F(Transport, SpaceOnAStoppedPlayerStartsTheSelectionOrRowZero) {
  player.pauseButtonClick();  // empty list
  EXPECT_TRUE(Rendered().empty());
  LoadTracks(3);
  player.N17Click();
  player.ToolButton9MouseDown(true);
  EXPECT_TRUE(Rendered().empty());
  player.FormKeyDown(KeyCode::Space);
  EXPECT_EQ(Rendered(), std::vector<std::string>{Entry(0)});
  player.ToolButton9Click();
  player.SelectRow(2);
  player.pauseButtonClick();
  EXPECT_EQ(Rendered().back(), Entry(2));
}

TEST_F(Transport, PauseAndResumeKeepTheCaptionAndGraphInStep) {
  LoadTracks(1, 80);
  player.pauseButtonClick();
  p.media.Current()->PlayTo(12);
  player.ToolButton9MouseDown(true);  // right button: pause
  EXPECT_TRUE(player.Paused && player.Playing);
  EXPECT_FALSE(p.media.Current()->Running());
  EXPECT_FALSE(p.power.idleLockHeld);
  EXPECT_EQ(player.Form.Caption(), "[Pause] t0");
  EXPECT_EQ(player.Form.TrayHint(), "Pause");
  EXPECT_EQ(player.Form.TrayIcon(), 3);
  p.loop.AdvanceTime(300);
  EXPECT_EQ(player.Form.Label(1).text, "00:12 / 01:20");

  player.N17Click();
  EXPECT_FALSE(player.Paused);
  EXPECT_TRUE(p.media.Current()->Running());
  EXPECT_EQ(p.power.idleLockChanges, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(player.Form.Caption(), "t0");
  EXPECT_EQ(player.Form.TrayHint(), "t0");
  EXPECT_EQ(player.Form.TrayIcon(), 1);
}

TEST_F(Transport, StopEndsTheRunOnlyWhenSomethingPlays) {
  LoadTracks(3);
  player.ToolButton5Click();
  player.ToolButton9Click();  // nothing plays after this: a second stop only resets the tray
  player.ToolButton5Click();
  player.SelectRow(1);
  player.FIListBox1Click();
  player.SleepAfterListEnd = true;
  player.FormKeyDown(KeyCode::Escape);
  EXPECT_FALSE(player.Playing);
  EXPECT_FALSE(player.ContinuousPlay);
  EXPECT_FALSE(player.SleepAfterListEnd);
  EXPECT_FALSE(player.Form.Checked("N9"));
  EXPECT_EQ(player.Form.Label(1).color, Color::Black);
  EXPECT_EQ(player.CurrentIndex(), 1);
  EXPECT_EQ(p.media.LiveGraphs(), 0);
  EXPECT_FALSE(p.power.idleLockHeld);
  for (const std::string* text : {&player.Form.Caption(), &player.Form.AppTitle(),
                                  &player.Form.WindowHint(), &player.Form.TrayHint()})
    EXPECT_EQ(*text, player.VersionText);
  EXPECT_EQ(player.Form.TrayIcon(), 3);

  // A failed start leaves the run on; stopping then changes only the tray.
  player.PlayList.Assign({"/m/missing.mp3"});
  player.RefreshListBox();
  player.ToolButton5Click();
  player.ToolButton9Click();
  EXPECT_TRUE(player.ContinuousPlay);
  EXPECT_TRUE(player.Form.Checked("N9"));
  EXPECT_EQ(player.Form.TrayHint(), player.VersionText);
}

TEST_F(Transport, SkipAndSpeedActOnlyOnAPlayingTrack) {
  LoadTracks(2, 30);
  player.Label1Click();
  player.Label2Click();
  player.pauseButtonClick();
  p.media.Current()->PlayTo(15);
  player.Label1Click();
  EXPECT_DOUBLE_EQ(p.media.Current()->Position(), 25);
  player.Label1Click();  // 35 would pass the end
  EXPECT_DOUBLE_EQ(p.media.Current()->Position(), 25);
  p.media.Current()->PlayTo(20);
  player.Label1Click();  // 30 would reach it
  EXPECT_DOUBLE_EQ(p.media.Current()->Position(), 20);

  for (double expected : {1.5, 0.8, 1.0, 1.5}) {
    player.Label2Click();
    EXPECT_DOUBLE_EQ(p.media.Current()->Rate(), expected);
  }
  p.media.Current()->SetRate(2.0);
  player.Label2Click();
  EXPECT_DOUBLE_EQ(p.media.Current()->Rate(), 1.0);
}

TEST_F(Transport, TheWheelStepsAndClampsTheVolume) {
  player.Volume = -150;
  player.FormMouseWheelUp();
  EXPECT_EQ(player.Volume, -50);
  player.FormMouseWheelUp();
  player.FormMouseWheelUp();
  EXPECT_EQ(player.Volume, 0);
  EXPECT_EQ(player.Form.Label(3).text, "100");
  player.Volume = -9950;
  player.FormMouseWheelDown();
  EXPECT_EQ(player.Form.Label(3).text, "0");
  player.MouseOverList = true;
  player.FormMouseWheelUp();
  EXPECT_EQ(player.Volume, -10000);
  player.MouseOverList = false;
  // A level from a damaged settings file comes back into range with the first step.
  player.Volume = 2'147'483'600;
  player.FormMouseWheelUp();
  EXPECT_EQ(player.Volume, 0);
}

TEST_F(Transport, MuteLivesInTheLabelAndEndsWithTheTrackOrAWheelStep) {
  LoadTracks(2);
  player.Volume = -2000;
  player.Label3DblClick();  // stopped: nothing
  EXPECT_EQ(player.Form.Label(3).text, "");
  player.pauseButtonClick();
  player.Label3DblClick();
  EXPECT_EQ(player.Form.Label(3).text, "--");
  EXPECT_EQ(p.media.Current()->Volume(), -10000);
  player.Label3DblClick();
  EXPECT_EQ(player.Form.Label(3).text, "80");
  EXPECT_EQ(p.media.Current()->Volume(), -2000);

  player.Label3DblClick();
  player.ToolButton7Click();
  EXPECT_EQ(player.Form.Label(3).text, "80");
  EXPECT_EQ(p.media.Current()->Volume(), -2000);
  player.Label3DblClick();
  player.FormMouseWheelDown();
  EXPECT_EQ(player.Form.Label(3).text, "79");
  EXPECT_EQ(p.media.Current()->Volume(), -2100);
}

TEST_F(Transport, ArrowKeysChangeTrackOnlyInTheCompactVisibleWindow) {
  LoadTracks(3);
  for (bool compact : {false, true}) {
    for (bool inTray : {false, true}) {
      player.CompactView = compact;
      player.InTray = inTray;
      player.SelectRow(1);
      player.FormKeyDown(KeyCode::Down);
      const int afterDown = player.CurrentIndex();
      player.SelectRow(1);
      player.FormKeyDown(KeyCode::Up);
      const bool acts = compact && !inTray;
      EXPECT_EQ(afterDown, acts ? 2 : 1);
      EXPECT_EQ(player.CurrentIndex(), acts ? 0 : 1);
    }
  }
  EXPECT_EQ(Rendered().size(), 2u);
  player.FormKeyDown(KeyCode::F8);
  EXPECT_TRUE(player.ContinuousPlay);
  player.FormKeyDown(KeyCode::F4);
  EXPECT_FALSE(player.CompactView);
  player.FormKeyDown(KeyCode::F1);
  EXPECT_EQ(p.power.actions, (std::vector<std::string>{"monitor-off"}));
}

}  // namespace
}  // namespace solka
