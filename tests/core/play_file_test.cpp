// Starting and releasing the playback graph, and draining its events, on the scripted back end.
#include <gmock/gmock.h>

#include "playback/track_title.h"
#include "tests/core/player_fixture.h"

namespace solka {
namespace {

using ::testing::ElementsAre;

class PlayFileTest : public PlayerTest, public FormObserver {
 protected:
  PlayFileTest() {
    p.media.AddPlayable("/music/a/One.mp3", 125.9);
    p.media.AddPlayable("/music/b/Two.ogg", 9);
    player.FormForView().SetObserver(this);
  }
  ~PlayFileTest() override { player.FormForView().SetObserver(nullptr); }

  // Caption changes go into the back end's log, so the order of graph calls and window texts
  // shows in one list.
  void Changed(FormPart part) override {
    if (part == FormPart::Caption) p.media.log.push_back("caption " + player.Form().Caption());
  }

  int Drain() {
    MediaEvent event;
    int count = 0;
    while (p.media.Current() && p.media.Current()->GetEvent(event)) ++count;
    return count;
  }
};

TEST_F(PlayFileTest, StartBuildsRunsAndShowsTheTrack) {
  for (int step = 0; step < 15; ++step) player.FormMouseWheelDown();
  ASSERT_TRUE(player.PlayFile("/music/b/Two.ogg"));
  player.N17Click();
  ASSERT_TRUE(player.Playback().Paused);
  p.media.log.clear();
  ASSERT_TRUE(player.PlayFile("/music/a/One.mp3"));
  EXPECT_THAT(
      p.media.log,
      ElementsAre("stop", "stop", "notify off", "release", "caption DODEDEV 1.7.2.0", "create",
                  "notify on", "volume -1500", "render /music/a/One.mp3", "run", "caption One"));
  EXPECT_TRUE(player.Playback().Playing);
  EXPECT_FALSE(player.Playback().Paused);
  EXPECT_EQ(player.Playback().DurationText, " / 02:05");  // cut to whole seconds, never rounded up
  EXPECT_EQ(player.Form().Label(3).text, "85");
}

TEST_F(PlayFileTest, ANewTrackFirstReleasesTheOldOneAndShowsIdle) {
  ASSERT_TRUE(player.PlayFile("/music/a/One.mp3"));
  p.media.log.clear();
  ASSERT_TRUE(player.PlayFile("/music/b/Two.ogg"));
  EXPECT_THAT(p.media.log, ElementsAre("stop", "stop", "notify off", "release",
                                       "caption DODEDEV 1.7.2.0", "create", "notify on", "volume 0",
                                       "render /music/b/Two.ogg", "run", "caption Two"));
  EXPECT_EQ(p.media.LiveGraphs(), 1);
  EXPECT_EQ(player.Playback().DurationText, " / 00:09");
}

TEST_F(PlayFileTest, RateAndMuteLastForOneTrackOnly) {
  for (int step = 0; step < 7; ++step) player.FormMouseWheelDown();
  ASSERT_TRUE(player.PlayFile("/music/a/One.mp3"));
  player.SetRate(1.5);
  player.SetVolume(-10000);
  ASSERT_TRUE(player.PlayFile("/music/b/Two.ogg"));
  EXPECT_EQ(p.media.Current()->Rate(), 1.0);
  EXPECT_EQ(p.media.Current()->Volume(), -700);
  EXPECT_EQ(player.Playback().Volume, -700);
}

TEST_F(PlayFileTest, AFailedStartLeavesNoGraphAndSaysSo) {
  ASSERT_TRUE(player.PlayFile("/music/a/One.mp3"));
  p.media.FinishTrack();  // posted, not yet delivered
  p.media.log.clear();

  EXPECT_FALSE(player.PlayFile("/music/broken.mp3"));
  EXPECT_THAT(p.media.log,
              ElementsAre("stop", "stop", "notify off", "release", "caption DODEDEV 1.7.2.0",
                          "create", "notify on", "volume 0", "render /music/broken.mp3",
                          "notify off", "release", "caption 再生できませんでした"));
  EXPECT_FALSE(player.Playback().Playing);
  EXPECT_FALSE(p.power.idleLockHeld);  // music stopped: the desktop may suspend again
  EXPECT_EQ(p.media.LiveGraphs(), 0);
  EXPECT_EQ(player.Form().Label(1).text, "");
  EXPECT_EQ(player.Form().WindowHint(), player.VersionText);
  EXPECT_EQ(player.Form().TrayHint(), player.VersionText);
  // A terminal sees which file and why.
  EXPECT_THAT(p.diagnostics.lines, ElementsAre("cannot play \"/music/broken.mp3\": " +
                                               std::string(ScriptedMediaBackend::kNotPlayable)));

  // The old track's end arrives after its graph is gone: nothing happens.
  p.media.log.clear();
  p.loop.RunUntilIdle();
  EXPECT_THAT(p.media.log, ElementsAre());
  EXPECT_EQ(player.Form().Caption(), "再生できませんでした");
  // The thin wrappers are harmless without a graph.
  player.Seek(10);
  player.SetRate(1.5);
  EXPECT_EQ(player.Position(), 0.0);
}

TEST_F(PlayFileTest, ReleaseStopsOnlyARunningGraphAndClearsThePendingRelease) {
  ASSERT_TRUE(player.PlayFile("/music/a/One.mp3"));
  player.EndOfTrack();  // not in continuous play: the release waits for the drain
  ASSERT_TRUE(player.Playback().ReleasePending);
  p.loop.AdvanceTime(100);
  ASSERT_EQ(player.Form().Label(1).text, "00:00 / 02:05");
  p.media.log.clear();
  player.ReleasePlayback();
  EXPECT_THAT(p.media.log, ElementsAre("stop", "notify off", "release", "caption DODEDEV 1.7.2.0"));
  EXPECT_FALSE(player.Playback().Playing);
  EXPECT_FALSE(player.Playback().ReleasePending);
  EXPECT_EQ(player.Form().Label(1).text, "");

  p.media.log.clear();
  player.ReleasePlayback();  // nothing left to stop or release
  EXPECT_THAT(p.media.log, ElementsAre());
}

// A single track: every queued event is drained by the one notification, the end is handled
// once per occurrence, a failure after the end is none, and the graph is released once.
TEST_F(PlayFileTest, OneNotificationDrainsEveryQueuedEvent) {
  ASSERT_TRUE(player.PlayFile("/music/a/One.mp3"));
  ScriptedGraph& graph = *p.media.Current();
  graph.QueueEvent({MediaEvent::Kind::Ended, {}});
  graph.QueueEvent({MediaEvent::Kind::Failed, "after the end"});
  graph.QueueEvent({MediaEvent::Kind::Ended, {}});
  const int processed = p.loop.ProcessMessagesCalls();
  p.media.log.clear();

  player.GraphNotify();
  // The single-track end lets pending messages run once per end event.
  EXPECT_EQ(p.loop.ProcessMessagesCalls() - processed, 2);
  EXPECT_FALSE(player.Playback().Playing);
  EXPECT_FALSE(player.Playback().ReleasePending);
  EXPECT_EQ(std::count(p.media.log.begin(), p.media.log.end(), "release"), 1);
  p.loop.RunUntilIdle();
  EXPECT_EQ(std::count(p.media.log.begin(), p.media.log.end(), "release"), 1);
  EXPECT_EQ(player.Form().Caption(), player.VersionText);
  EXPECT_THAT(p.diagnostics.lines, ElementsAre());
}

// An end that starts the next track moves the drain to the new graph: what the old graph still
// held is dropped with it, so one notification never skips two tracks.
TEST_F(PlayFileTest, DrainFollowsTheGraphTheEndStarted) {
  LoadTracks(3);
  SetMode(2);
  player.ToolButton5Click();
  ScriptedGraph& first = *p.media.Current();
  first.QueueEvent({MediaEvent::Kind::Ended, {}});
  first.QueueEvent({MediaEvent::Kind::Ended, {}});
  player.GraphNotify();
  EXPECT_THAT(Rendered(), ElementsAre(Entry(0), Entry(1)));
  EXPECT_EQ(Drain(), 0);
  p.loop.RunUntilIdle();  // the notifications of the first graph find it gone
  EXPECT_THAT(Rendered(), ElementsAre(Entry(0), Entry(1)));
  EXPECT_TRUE(player.Playback().Playing);
}

TEST_F(PlayFileTest, NotificationWithoutGraphDoesNothing) {
  player.GraphNotify();
  EXPECT_THAT(p.media.log, ElementsAre());
  EXPECT_EQ(player.Form().Caption(), "SOLKA Player DirectShow Ver.");
}

TEST(TrackTitle, RemovesEveryCopyOfTheExtensionWhateverItsCase) {
  const PathSyntax unix;
  EXPECT_EQ(TrackTitle("/m/Best.MP3 Mix.mp3", unix), "Best Mix");
  EXPECT_EQ(TrackTitle("/m/Song.Mp3", unix), "Song");
  EXPECT_EQ(TrackTitle("/m/README", unix), "README");
  EXPECT_EQ(TrackTitle("/m.dir/README", unix), "README");  // a dot in a folder is no extension
  EXPECT_EQ(TrackTitle("/m/曲.flac.FLAC", unix), "曲");
  EXPECT_EQ(TrackTitle("noslash.wav", unix), "noslash");

  const PathSyntax windows{'\\', "\\:"};
  EXPECT_EQ(TrackTitle("C:song.WMA", windows), "song");
}

TEST(TrackTitle, FolderAndExtensionForTheWindowHint) {
  const PathSyntax unix;
  EXPECT_EQ(FolderNameOf("/music/Album 1/t.mp3", unix), "Album 1");
  EXPECT_EQ(FolderNameOf("/t.mp3", unix), "");
  EXPECT_EQ(NameExtension("/music/a.b/t", unix), "");
  EXPECT_EQ(NameExtension("/music/t.tar.MP3", unix), ".MP3");
}

TEST(TrackTitle, ClockTextTruncatesAndGrowsPastAnHour) {
  EXPECT_EQ(FormatClock(9.99), "00:09");
  EXPECT_EQ(FormatClock(65), "01:05");
  EXPECT_EQ(FormatClock(6000), "100:00");
  EXPECT_EQ(FormatClock(0), "00:00");
  // A length the engine could not tell, or garbage from it, shows as zero.
  EXPECT_EQ(FormatClock(-1), "00:00");
  EXPECT_EQ(FormatClock(std::numeric_limits<double>::quiet_NaN()), "00:00");
  EXPECT_EQ(FormatClock(std::numeric_limits<double>::infinity()), "00:00");
}

}  // namespace
}  // namespace solka
