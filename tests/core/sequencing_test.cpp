#include <algorithm>
#include <set>

#include "tests/core/player_fixture.h"

namespace solka {
namespace {

using Sequencing = PlayerTest;

TEST_F(Sequencing, MenuItemsGiveTheModeCodeAndKeepEachGroupExclusive) {
  struct Case {
    std::vector<const char*> clicks;
    int code;
  };
  const Case cases[] = {{{"N1", "R2"}, 1}, {{"N1", "R3"}, 2},       {{"N2", "R2"}, 3},
                        {{"N2", "R3"}, 4}, {{"N2", "R3", "R1"}, 5}, {{"R1", "N1", "N2"}, 5},
                        {{"R3", "R3"}, 2}};
  for (const Case& c : cases) {
    SetMode(1);
    for (const char* item : c.clicks) player.N1Click(item);
    EXPECT_EQ(static_cast<int>(player.Sequence().ModeCode), c.code) << c.clicks.back();
    EXPECT_EQ(player.Setting(JukeMode), std::to_string(c.code));
    EXPECT_NE(player.Form().Checked("N1"), player.Form().Checked("N2"));
    EXPECT_EQ(
        player.Form().Checked("R1") + player.Form().Checked("R2") + player.Form().Checked("R3"), 1);
  }
  // A stored code no combination gives checks nothing and stays until a combination replaces it.
  TestPlatform q;
  auto t = PlayerBuilder(q).Mode(9).Start();
  for (const char* item : {"N1", "N2", "R1", "R2", "R3"}) EXPECT_FALSE(t->Form().Checked(item));
  t->N1Click("N2");
  EXPECT_EQ(static_cast<int>(t->Sequence().ModeCode), 9);
  EXPECT_TRUE(t->Form().Checked("N2"));
  t->N1Click("R3");
  EXPECT_EQ(t->Sequence().ModeCode, PlayMode::RandomEndless);
  EXPECT_EQ(t->Setting(JukeMode), "4");
}

TEST_F(Sequencing, OnlyRepeatRulesWithoutListEndCancelTheAfterListSleep) {
  LoadTracks(2);
  for (const char* item : {"N1", "N2", "R2", "R1", "R3"}) {
    SetMode(1);
    ArmAfterList();
    player.N1Click(item);
    EXPECT_EQ(player.Sleep().SleepAfterListEnd, item[0] != 'R' || item[1] == '2') << item;
  }
}

// Every mode over lists of one, two and five rows: the rows that play, where the run ends,
// and whether an after-the-list sleep fires.
TEST_F(Sequencing, EveryModePlaysItsOrderAndEndsWhereItShould) {
  // Each track after the first is the one prepared to follow it, in every mode and pass.
  p.media.offerFollowers = true;
  for (int mode = 1; mode <= 5; ++mode) {
    for (int rows : {1, 2, 5}) {
      SCOPED_TRACE("mode " + std::to_string(mode) + ", rows " + std::to_string(rows));
      p.media.log.clear();
      p.media.preparedStarts = 0;
      p.power.actions.clear();
      SetMode(mode);
      LoadTracks(rows);
      player.ToolButton5Click();
      const bool once = mode == 1 || mode == 3;
      // The menu offers the after-the-list sleep only in the modes whose list ends.
      if (once) ArmAfterList();
      PlayOn(3 * rows);
      const std::vector<std::string> played = Rendered();

      ASSERT_EQ(played.size(), once ? rows : 3 * rows + 1);
      EXPECT_EQ(p.media.preparedStarts, static_cast<int>(played.size()) - 1);
      EXPECT_EQ(player.Playback().Playing, !once);
      EXPECT_EQ(player.Sequence().ContinuousPlay, !once);
      EXPECT_EQ(p.power.actions,
                once ? std::vector<std::string>{"power-off"} : std::vector<std::string>{});
      EXPECT_FALSE(player.Sleep().SleepAfterListEnd);
      for (std::size_t i = 0; i < played.size(); ++i) {
        const std::size_t pass = i / rows;
        if (mode == 5) {
          EXPECT_EQ(played[i], played[0]);
        } else if (mode != 4) {
          EXPECT_EQ(played[i], Entry(i % rows)) << i;
        } else if (i % rows == 0) {
          // Each random pass plays every entry exactly once.
          const auto end = std::min(played.size(), (pass + 1) * rows);
          const std::set<std::string> distinct(played.begin() + i, played.begin() + end);
          EXPECT_EQ(distinct.size(), end - i);
        }
      }
      if (player.Sequence().ContinuousPlay) player.ToolButton5Click();
      EXPECT_EQ(p.media.LiveGraphs(), 0);  // switching off dropped the prepared one too
    }
  }
}

TEST_F(Sequencing, WhatTheUserDoesPreparesTheTrackThatNowFollows) {
  p.media.offerFollowers = true;
  SetMode(2);
  LoadTracks(3);
  player.ToolButton5Click();
  EXPECT_EQ(player.Playback().PreparedPath, Entry(1));
  player.ToolButton7Click();  // next starts afresh
  EXPECT_EQ(p.media.preparedStarts, 0);
  EXPECT_EQ(player.Playback().PreparedPath, Entry(2));
  player.N1Click("R1");  // one song: the same row follows
  EXPECT_EQ(player.Playback().PreparedPath, Entry(1));
  player.SetVolumeLevel(-500);  // prepared again, at the new level from its first sample
  const auto& log = p.media.log;
  const std::vector<std::string> tail(log.end() - 3, log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"follower", "volume -500", "prepare " + Entry(1)}));
  // A pause pressed while the track's end is still being heard holds over the follower.
  player.pauseButtonClick();
  FinishTrack();
  EXPECT_TRUE(player.Playback().Paused);
  EXPECT_FALSE(p.media.Current()->Running());
  player.ToolButton9Click();
  EXPECT_EQ(p.media.LiveGraphs(), 0);
  EXPECT_EQ(player.Playback().PreparedPath, "");
}

TEST_F(Sequencing, RandomEndlessShufflesEachPassAndPlaysTheOrderShown) {
  SetMode(4);
  LoadTracks(5);
  player.ToolButton5Click();
  std::set<std::vector<std::string>> orders;
  for (int pass = 0; pass < 4; ++pass) {
    orders.insert(player.List().PlayList.Items());
    for (int row = 0; row < 5; ++row) {
      ASSERT_EQ(player.CurrentIndex(), row);
      EXPECT_EQ(Rendered().back(), Entry(row));
      p.clock.Advance(37'000);
      FinishTrack();
    }
  }
  EXPECT_GT(orders.size(), 1u);
  EXPECT_FALSE(player.PlayListSorted());
}

TEST_F(Sequencing, ALastRowStartedByHandEndsTheListInItsModesWay) {
  for (int mode : {1, 2, 4}) {
    SCOPED_TRACE(mode);
    p.power.actions.clear();
    SetMode(mode);
    LoadTracks(3);
    player.ToolButton5Click();  // row 0
    player.ToolButton3Click();  // previous wraps to the last row, by hand
    ASSERT_EQ(player.CurrentIndex(), 2);
    if (mode == 1) ArmAfterList();
    FinishTrack();
    EXPECT_EQ(player.Playback().Playing, mode != 1);
    EXPECT_EQ(player.CurrentIndex(), mode == 1 ? -1 : 0);
    EXPECT_EQ(p.power.actions.size(), mode == 1 ? 1u : 0u);
    if (player.Sequence().ContinuousPlay) player.ToolButton5Click();
  }
}

TEST_F(Sequencing, ASingleTrackPlaysOnceAndLeavesNoSelection) {
  LoadTracks(3);
  Select(1);
  player.FIListBox1Click();
  const int before = p.loop.ProcessMessagesCalls();
  FinishTrack();
  EXPECT_EQ(Rendered(), std::vector<std::string>{Entry(1)});
  EXPECT_FALSE(player.Playback().Playing);
  EXPECT_EQ(player.CurrentIndex(), -1);
  EXPECT_EQ(p.loop.ProcessMessagesCalls(), before + 1);
  EXPECT_EQ(p.media.LiveGraphs(), 0);
}

TEST_F(Sequencing, SwitchingOnStartsTheSelectedRowAfreshAndOffStopsIt) {
  LoadTracks(3);
  player.ToolButton5Click();  // no selection: row 0
  EXPECT_EQ(Rendered(), std::vector<std::string>{Entry(0)});
  player.ToolButton5Click();
  Select(2);
  player.FIListBox1Click();
  player.ToolButton5Click();
  EXPECT_EQ(Rendered(), (std::vector<std::string>{Entry(0), Entry(2), Entry(2)}));
  EXPECT_TRUE(player.Form().Checked("N9"));

  ArmAfterList();
  player.ToolButton5Click();
  EXPECT_FALSE(player.Playback().Playing);
  EXPECT_FALSE(player.Sleep().SleepAfterListEnd);
  EXPECT_FALSE(player.Form().Checked("N9"));
  EXPECT_EQ(player.CurrentIndex(), 2);

  ClearList();
  player.ToolButton5Click();
  EXPECT_FALSE(player.Sequence().ContinuousPlay);
}

TEST_F(Sequencing, ListOrderChosenWhilePlayingSortsAndGoesOnFromRowZero) {
  LoadPaths({"/m/c.mp3", "/m/a.mp3", "/m/b.mp3"});
  SetMode(3);
  player.ToolButton5Click();
  Select(1);
  player.FIListBox1Click();
  const std::string playing = Rendered().back();
  player.N1Click("N1");
  EXPECT_EQ(player.List().PlayList.Items(),
            (std::vector<std::string>{"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"}));
  EXPECT_EQ(player.CurrentIndex(), -1);
  EXPECT_EQ(p.media.Current()->Path(), playing);
  FinishTrack();
  EXPECT_EQ(Rendered().back(), "/m/a.mp3");
}

// With [OPTIONS] SkipUnplayable=0 a run halts where a track cannot start.
class HaltingSequencing : public PlayerTest {
 protected:
  HaltingSequencing() : PlayerTest("[OPTIONS]\r\nSkipUnplayable=0\r\n") {}
};

TEST_F(HaltingSequencing, AFailedStartHaltsTheRunButKeepsItOn) {
  p.media.AddPlayable("/m/a.mp3", 100);
  p.media.AddPlayable("/m/c.mp3", 100);
  LoadEntries({"/m/a.mp3", "/m/broken.mp3", "/m/c.mp3"});
  SetMode(2);
  player.ToolButton5Click();
  FinishTrack();
  EXPECT_FALSE(player.Playback().Playing);
  EXPECT_TRUE(player.Sequence().ContinuousPlay);
  EXPECT_EQ(player.Form().Label(1).color, Color::Blue);
  player.ToolButton7Click();
  FinishTrack();
  EXPECT_EQ(Rendered().back(), "/m/a.mp3");  // the run goes on, wrapping to row 0
}

TEST_F(Sequencing, EmptyListOrUnselectedRepeatEndsTheRunWithoutPowerAction) {
  for (int mode : {1, 5}) {
    SetMode(mode);
    LoadTracks(2);
    player.ToolButton5Click();
    if (mode == 1) {
      ArmAfterList();
      ClearList();
    } else {
      Select(-1);
    }
    FinishTrack();
    EXPECT_FALSE(player.Playback().Playing) << mode;
    EXPECT_FALSE(player.Form().Checked("N9"));
    EXPECT_TRUE(p.power.actions.empty());
  }
}

TEST_F(Sequencing, PreviousAndNextWrapInEveryMode) {
  LoadTracks(3);
  struct Step {
    int from;
    bool next;
    int to;
  };
  for (const Step s : {Step{0, false, 2}, Step{-1, false, 2}, Step{2, false, 1}, Step{2, true, 0},
                       Step{-1, true, 0}, Step{0, true, 1}}) {
    Select(s.from);
    s.next ? player.ToolButton7Click() : player.ToolButton3Click();
    EXPECT_EQ(player.CurrentIndex(), s.to);
    EXPECT_EQ(Rendered().back(), Entry(s.to));
  }
  EXPECT_FALSE(player.Sequence().LastEntryStarted);
  ClearList();
  player.ToolButton7Click();
  player.ToolButton3Click();
  EXPECT_EQ(Rendered().size(), 6u);
}

}  // namespace
}  // namespace solka
