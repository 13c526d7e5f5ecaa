// Tracks that break down in mid-track or cannot start: what the run does, what a terminal is
// told, and the opt-in options that change it.
#include <gmock/gmock.h>

#include "tests/core/player_fixture.h"

namespace solka {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kFailed = "再生できませんでした";

// Runs halt where the design halts them (the option's default passes over failed starts).
class TrackFailures : public PlayerTest {
 protected:
  TrackFailures() : PlayerTest("[OPTIONS]\r\nSkipUnplayable=0\r\n") {}
  using PlayerTest::PlayerTest;
  void FailTrack(const std::string& reason = "decoder gave up") {
    p.media.FailTrack(reason);
    p.loop.RunUntilIdle();
  }
};

TEST_F(TrackFailures, ABreakdownEndsTheTrackOnceAndSaysWhy) {
  LoadTracks(3);
  // Alone: several errors of one breakdown end the track once.
  Select(1);
  player.FIListBox1Click();
  const int processed = p.loop.ProcessMessagesCalls();
  p.media.Current()->QueueEvent({MediaEvent::Kind::Failed, "first"});
  p.media.Current()->QueueEvent({MediaEvent::Kind::Failed, "second"});
  p.loop.RunUntilIdle();
  EXPECT_EQ(p.loop.ProcessMessagesCalls() - processed, 1);
  EXPECT_FALSE(player.Playback().Playing);
  EXPECT_EQ(player.Form().Caption(), player.VersionText);
  EXPECT_THAT(p.diagnostics.lines, ElementsAre("playback of \"" + Entry(1) + "\" failed: first"));

  // In a run: the next track follows, as after a normal end.
  SetMode(1);
  Select(0);
  player.ToolButton5Click();
  FailTrack();
  EXPECT_TRUE(player.Playback().Playing);
  EXPECT_EQ(p.media.Current()->Path(), Entry(1));
  EXPECT_THAT(p.diagnostics.lines.back(), HasSubstr(Entry(0) + "\" failed: decoder gave up"));
}

TEST_F(TrackFailures, BreakdownsInARowHaltTheRunAsAFailedStartDoes) {
  LoadTracks(5);
  SetMode(2);
  player.ToolButton5Click();
  // A track that plays out in between starts the count afresh.
  FailTrack();
  FailTrack();
  FinishTrack();
  for (int i = 1; i < kMidTrackFailureLimit; ++i) FailTrack();
  EXPECT_TRUE(player.Playback().Playing);
  FailTrack();
  EXPECT_FALSE(player.Playback().Playing);
  EXPECT_EQ(p.media.LiveGraphs(), 0);
  EXPECT_EQ(player.Form().Caption(), kFailed);
  EXPECT_TRUE(player.Sequence().ContinuousPlay);
  EXPECT_EQ(player.CurrentIndex(), 0);  // halted on the row that failed last
  EXPECT_EQ(Rendered().size(), 6u);
  EXPECT_THAT(p.diagnostics.lines.back(), HasSubstr("3 tracks in a row failed"));
  p.loop.RunUntilIdle();
  EXPECT_EQ(Rendered().size(), 6u);  // nothing starts by itself any more

  // The user starts the next run.
  player.ToolButton5Click();
  player.ToolButton5Click();
  EXPECT_TRUE(player.Playback().Playing);
  FailTrack();
  EXPECT_TRUE(player.Playback().Playing);
}

class SkipUnplayable : public TrackFailures {
 protected:
  SkipUnplayable() : TrackFailures("[OPTIONS]\r\nSkipUnplayable=1\r\n") {}
};

TEST_F(SkipUnplayable, FailedStartsArePassedOverUntilAWholePassFailed) {
  ASSERT_TRUE(player.Options().skipUnplayable);
  p.media.AddPlayable("/m/a.mp3", 10);
  p.media.AddPlayable("/m/d.mp3", 10);
  LoadEntries({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/d.mp3"});
  SetMode(1);
  player.ToolButton5Click();
  FinishTrack();
  EXPECT_EQ(p.media.Current()->Path(), "/m/d.mp3");
  EXPECT_EQ(p.diagnostics.lines.size(), 2u);  // one line for each file passed over
  FinishTrack();
  EXPECT_FALSE(player.Sequence().ContinuousPlay);  // the list played to its end

  // Nothing playable: one pass of failures, then the run halts on its row.
  LoadEntries({"/m/x.mp3", "/m/y.mp3", "/m/z.mp3"});
  SetMode(2);
  p.media.log.clear();
  player.ToolButton5Click();
  EXPECT_THAT(Rendered(), ElementsAre("/m/x.mp3", "/m/y.mp3", "/m/z.mp3"));
  EXPECT_TRUE(player.Sequence().ContinuousPlay);
  EXPECT_FALSE(player.Playback().ReleasePending);
  EXPECT_EQ(player.Form().Caption(), kFailed);

  // Repeating one song: the pass is that song.
  SetMode(5);
  p.media.log.clear();
  player.ToolButton5Click();
  player.ToolButton5Click();
  EXPECT_EQ(Rendered().size(), 1u);
}

// Random endless: the rows that fail at the end of one shuffle and at the start of the next are
// no whole pass while the list holds a track that plays.
TEST_F(SkipUnplayable, ARandomEndlessRunWithOnePlayableTrackNeverHalts) {
  p.media.AddPlayable("/m/good.mp3", 10);
  LoadEntries({"/m/good.mp3", "/m/x.mp3", "/m/y.mp3", "/m/z.mp3"});
  SetMode(4);
  player.ToolButton5Click();
  for (int pass = 0; pass < 40; ++pass) {
    p.clock.Advance(7919 * 1000);  // each pass its own order
    ASSERT_TRUE(player.Playback().Playing) << "pass " << pass;
    FinishTrack();
  }
}

TEST(PlayerOptions, TheirOwnSectionOnUnlessZeroAndKeptBySaves) {
  TestPlatform p;
  auto first =
      PlayerBuilder(p)
          .SettingsFile("[SETTING]\r\nSkipUnplayable=0\r\n[OPTIONS]\r\nExtendedLists=1\r\n")
          .Start();
  EXPECT_TRUE(first->Options().skipUnplayable);
  EXPECT_TRUE(first->Options().extendedLists);
  first->SaveSettings();
  EXPECT_THAT(p.files.Contents(kTestIni), HasSubstr("[OPTIONS]\r\nExtendedLists=1"));

  TestPlatform q;
  auto second =
      PlayerBuilder(q).SettingsFile("[OPTIONS]\r\nSkipUnplayable=0\r\nExtendedLists=0\r\n").Start();
  EXPECT_FALSE(second->Options().skipUnplayable);
  EXPECT_FALSE(second->Options().extendedLists);
}

TEST(PlayerOptions, ExtendedListsSkipCommentsAndResolveAgainstTheListFolder) {
  const std::string list =
      "#EXTM3U\r\n#EXTINF:12,Title\r\na.mp3\r\n\r\n  \r\n./sub/b.mp3\r\n../c.mp3\r\n"
      "/abs/d.mp3\r\nhttp://host/e.mp3\r\n";
  TestPlatform p;
  auto plain = PlayerBuilder(p).SettingsFile("[OPTIONS]\r\nExtendedLists=0\r\n").Start();
  p.files.AddFile("/m/lists/l.m3u", list);
  ASSERT_TRUE(plain->LoadListFile("/m/lists/l.m3u"));
  EXPECT_EQ(plain->List().PlayList.size(), 9u);  // off: every line as written

  TestPlatform q;
  auto extended = PlayerBuilder(q).Start();  // the default
  q.files.AddFile("/m/lists/l.m3u", list);
  ASSERT_TRUE(extended->LoadListFile("/m/lists/l.m3u"));
  EXPECT_THAT(extended->List().PlayList.Items(),
              ElementsAre("/m/lists/a.mp3", "/m/lists/sub/b.mp3", "/m/lists/../c.mp3", "/abs/d.mp3",
                          "http://host/e.mp3"));
  // A list named relative to the current folder keeps its entries relative to it too.
  q.files.AddFile("l.m3u", "a.mp3\n");
  ASSERT_TRUE(extended->LoadListFile("l.m3u"));
  EXPECT_THAT(extended->List().PlayList.Items(), ElementsAre("a.mp3"));
}

}  // namespace
}  // namespace solka
