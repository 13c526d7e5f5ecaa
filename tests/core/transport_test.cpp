#include <cmath>

#include "app/player_commands.h"
#include "desktop/media_remote.h"
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
  Select(2);
  player.pauseButtonClick();
  EXPECT_EQ(Rendered().back(), Entry(2));
}

TEST_F(Transport, PauseAndResumeKeepTheCaptionAndGraphInStep) {
  LoadTracks(1, 80);
  player.pauseButtonClick();
  p.media.Current()->PlayTo(12);
  player.ToolButton9MouseDown(true);  // right button: pause
  EXPECT_TRUE(player.Playback().Paused && player.Playback().Playing);
  EXPECT_FALSE(p.media.Current()->Running());
  EXPECT_FALSE(p.power.idleLockHeld);
  EXPECT_EQ(player.Form().Caption(), "[Pause] t0");
  EXPECT_EQ(player.Form().TrayHint(), "Pause");
  EXPECT_EQ(player.Form().TrayIcon(), 3);
  p.loop.AdvanceTime(300);
  EXPECT_EQ(player.Form().Label(1).text, "00:12 / 01:20");

  player.N17Click();
  EXPECT_FALSE(player.Playback().Paused);
  EXPECT_TRUE(p.media.Current()->Running());
  EXPECT_EQ(p.power.idleLockChanges, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(player.Form().Caption(), "t0");
  EXPECT_EQ(player.Form().TrayHint(), "t0");
  EXPECT_EQ(player.Form().TrayIcon(), 1);
}

TEST_F(Transport, StopEndsTheRunOnlyWhenSomethingPlays) {
  LoadTracks(3);
  player.ToolButton5Click();
  player.ToolButton9Click();  // nothing plays after this: a second stop only resets the tray
  player.ToolButton5Click();
  Select(1);
  player.FIListBox1Click();
  ArmAfterList();
  player.FormKeyDown(KeyCode::Escape);
  EXPECT_FALSE(player.Playback().Playing);
  EXPECT_FALSE(player.Sequence().ContinuousPlay);
  EXPECT_FALSE(player.Sleep().SleepAfterListEnd);
  EXPECT_FALSE(player.Form().Checked("N9"));
  EXPECT_EQ(player.Form().Label(1).color, Color::Black);
  EXPECT_EQ(player.CurrentIndex(), 1);
  EXPECT_EQ(p.media.LiveGraphs(), 0);
  EXPECT_FALSE(p.power.idleLockHeld);
  for (const std::string* text : {&player.Form().Caption(), &player.Form().AppTitle(),
                                  &player.Form().WindowHint(), &player.Form().TrayHint()})
    EXPECT_EQ(*text, player.VersionText);
  EXPECT_EQ(player.Form().TrayIcon(), 3);

  // A failed start leaves the run on; stopping then changes only the tray.
  LoadEntries({"/m/missing.mp3"});
  player.ToolButton5Click();
  player.ToolButton9Click();
  EXPECT_TRUE(player.Sequence().ContinuousPlay);
  EXPECT_TRUE(player.Form().Checked("N9"));
  EXPECT_EQ(player.Form().TrayHint(), player.VersionText);
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

// Seek, speed and volume asked for by the desktop's media controls.
TEST_F(Transport, DesktopRequestsStayWithinTheTrackAndThePlayersSpeeds) {
  LoadTracks(2, 30);
  player.SeekFromDesktop(5);
  player.SetRateFromDesktop(1.5);
  EXPECT_TRUE(Rendered().empty());
  EXPECT_EQ(player.Playback().PlayingPath, "");
  player.pauseButtonClick();
  EXPECT_EQ(player.Playback().PlayingPath, Entry(0));
  player.SeekFromDesktop(12.5);
  EXPECT_DOUBLE_EQ(p.media.Current()->Position(), 12.5);
  player.SeekFromDesktop(30);  // the end is the end-of-track step's
  player.SeekFromDesktop(std::nan(""));
  EXPECT_DOUBLE_EQ(p.media.Current()->Position(), 12.5);
  player.SeekFromDesktop(-3);
  EXPECT_DOUBLE_EQ(p.media.Current()->Position(), 0);

  // Any factor becomes the nearest step of the speed label, whose cycle then goes on from it.
  player.SetRateFromDesktop(1.3);
  EXPECT_DOUBLE_EQ(p.media.Current()->Rate(), 1.5);
  player.SetRateFromDesktop(0.1);
  EXPECT_DOUBLE_EQ(p.media.Current()->Rate(), 0.8);
  player.SetRateFromDesktop(1e308);
  EXPECT_DOUBLE_EQ(p.media.Current()->Rate(), 1.5);
  player.SetRateFromDesktop(0.8);
  player.Label2Click();
  EXPECT_DOUBLE_EQ(p.media.Current()->Rate(), 1.0);

  player.SetVolumeLevel(-2500);
  EXPECT_EQ(p.media.Current()->Volume(), -2500);
  EXPECT_EQ(player.Form().Label(3).text, "75");
  player.SetVolumeLevel(-99999);
  EXPECT_EQ(player.Playback().Volume, -10000);
  player.ToolButton9Click();
  EXPECT_EQ(player.Playback().PlayingPath, "");
}

// The desktop's play and pause are one-way, unlike the pause button they reach.
TEST_F(Transport, DesktopPlayAndPauseNeverToggleBack) {
  PlayerCommands commands(player);
  PlayerRemote remote(player, commands);
  EXPECT_EQ(remote.Read().status, RemoteStatus::Stopped);
  EXPECT_FALSE(remote.Read().hasTracks);
  remote.Play();  // nothing to play
  LoadTracks(2, 30);
  remote.Pause();
  EXPECT_TRUE(Rendered().empty());
  remote.Play();
  remote.Play();
  EXPECT_EQ(Rendered(), std::vector<std::string>{Entry(0)});
  p.media.Current()->PlayTo(7);
  RemoteState state = remote.Read();
  EXPECT_EQ(state.status, RemoteStatus::Playing);
  EXPECT_EQ(state.title, "t0");
  EXPECT_EQ(state.path, Entry(0));
  EXPECT_DOUBLE_EQ(state.length, 30);
  EXPECT_DOUBLE_EQ(state.position, 7);
  remote.Pause();
  remote.Pause();
  EXPECT_EQ(remote.Read().status, RemoteStatus::Paused);
  EXPECT_EQ(player.Form().Caption(), "[Pause] t0");
  remote.Play();
  EXPECT_EQ(remote.Read().status, RemoteStatus::Playing);
  EXPECT_EQ(player.Form().Caption(), "t0");
  remote.Next();
  EXPECT_EQ(remote.Read().title, "t1");
  // The desktop's level is the cube root of the gain: half is about -18 dB, and reads back.
  remote.SetVolume(0.5);
  EXPECT_EQ(player.Playback().Volume, -1806);
  remote.SetVolume(0.01);  // below the design's silence
  EXPECT_EQ(player.Playback().Volume, -10000);
  EXPECT_DOUBLE_EQ(remote.Read().volume, 0);
  remote.SetVolume(7);
  EXPECT_DOUBLE_EQ(remote.Read().volume, 1);
  player.Label3DblClick();
  EXPECT_DOUBLE_EQ(remote.Read().volume, 0);  // muted
  remote.Stop();
  EXPECT_EQ(remote.Read().status, RemoteStatus::Stopped);
  EXPECT_EQ(remote.Read().path, "");

  // Next and previous keep a pause or a stop; next past the end of a list played once stops.
  remote.Play();
  remote.Pause();
  player.N1Click("R3");
  remote.Next();
  EXPECT_EQ(remote.Read().title, "t0");
  EXPECT_EQ(remote.Read().status, RemoteStatus::Paused);
  player.N1Click("R2");
  remote.Next();
  EXPECT_EQ(remote.Read().title, "t1");
  EXPECT_EQ(remote.Read().status, RemoteStatus::Paused);
  remote.Next();
  EXPECT_EQ(remote.Read().status, RemoteStatus::Stopped);
  remote.Previous();
  EXPECT_EQ(remote.Read().status, RemoteStatus::Stopped);
  remote.Play();
  EXPECT_EQ(remote.Read().title, "t0");
}

TEST_F(Transport, TheWheelStepsAndClampsTheVolume) {
  const auto startAt = [](TestPlatform& q, int volume) {
    return PlayerBuilder(q).Setting("Volume", std::to_string(volume)).Start();
  };
  TestPlatform q1, q2, q3;
  auto t = startAt(q1, -150);
  t->FormMouseWheelUp();
  EXPECT_EQ(t->Playback().Volume, -50);
  t->FormMouseWheelUp();
  t->FormMouseWheelUp();
  EXPECT_EQ(t->Playback().Volume, 0);
  EXPECT_EQ(t->Form().Label(3).text, "100");

  t = startAt(q2, -9950);
  t->FormMouseWheelDown();
  EXPECT_EQ(t->Form().Label(3).text, "0");
  t->FIListBox1MouseEnter();
  t->FormMouseWheelUp();
  EXPECT_EQ(t->Playback().Volume, -10000);
  t->FIListBox1MouseLeave();

  // A level from a damaged settings file comes back into range with the first step.
  t = startAt(q3, 2'147'483'600);
  t->FormMouseWheelUp();
  EXPECT_EQ(t->Playback().Volume, 0);
}

TEST_F(Transport, MuteLivesInTheLabelAndEndsWithTheTrackOrAWheelStep) {
  TestPlatform q;
  auto t = PlayerBuilder(q).Setting("Volume", "-2000").Tracks(2).Start();
  t->Label3DblClick();  // stopped: nothing
  EXPECT_EQ(t->Form().Label(3).text, "80");
  t->pauseButtonClick();
  t->Label3DblClick();
  EXPECT_EQ(t->Form().Label(3).text, "--");
  EXPECT_EQ(q.media.Current()->Volume(), -10000);
  t->Label3DblClick();
  EXPECT_EQ(t->Form().Label(3).text, "80");
  EXPECT_EQ(q.media.Current()->Volume(), -2000);

  t->Label3DblClick();
  t->ToolButton7Click();
  EXPECT_EQ(t->Form().Label(3).text, "80");
  EXPECT_EQ(q.media.Current()->Volume(), -2000);
  t->Label3DblClick();
  t->FormMouseWheelDown();
  EXPECT_EQ(t->Form().Label(3).text, "79");
  EXPECT_EQ(q.media.Current()->Volume(), -2100);
}

TEST_F(Transport, ArrowKeysChangeTrackOnlyInTheCompactVisibleWindow) {
  LoadTracks(3);
  for (bool compact : {false, true}) {
    for (bool inTray : {false, true}) {
      if (player.Window().CompactView != compact) player.listmode1Click();
      if (player.Window().InTray != inTray) player.TrayIconClick();
      Select(1);
      player.FormKeyDown(KeyCode::Down);
      const int afterDown = player.CurrentIndex();
      Select(1);
      player.FormKeyDown(KeyCode::Up);
      const bool acts = compact && !inTray;
      EXPECT_EQ(afterDown, acts ? 2 : 1);
      EXPECT_EQ(player.CurrentIndex(), acts ? 0 : 1);
    }
  }
  EXPECT_EQ(Rendered().size(), 2u);
  player.FormKeyDown(KeyCode::F8);
  EXPECT_TRUE(player.Sequence().ContinuousPlay);
  player.FormKeyDown(KeyCode::F4);
  EXPECT_FALSE(player.Window().CompactView);
  player.FormKeyDown(KeyCode::F1);
  EXPECT_EQ(p.power.actions, (std::vector<std::string>{"monitor-off"}));
}

}  // namespace
}  // namespace solka
