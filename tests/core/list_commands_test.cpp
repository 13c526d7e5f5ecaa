#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "playlist/shuffle.h"
#include "tests/core/player_fixture.h"

namespace solka {
namespace {

using ::testing::ElementsAre;

// The shuffle as plainly written: seed, discard one value, then n moves of the first entry.
std::vector<std::size_t> ReferenceShuffle(std::size_t n, std::uint32_t seed, bool avoidFirst) {
  std::uint32_t state = seed * 22695477u + 1u;
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  for (std::size_t i = 0; i < n; ++i) {
    state = state * 22695477u + 1u;
    std::size_t b = ((state >> 16) & 0x7FFF) % n;
    if (avoidFirst && b == 0) b = n - 1;
    const std::size_t first = order.front();
    order.erase(order.begin());
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(b), first);
  }
  return order;
}

TEST(Shuffle, SameOrderAsMovingTheFirstEntryOneAtATime) {
  for (std::size_t n : {1u, 2u, 3u, 5u, 17u, 256u, 1000u})
    for (std::uint32_t seed : {0u, 1u, 1700000000u, 4294967295u})
      for (bool avoidFirst : {false, true})
        EXPECT_EQ(ShuffleOrder(n, seed, avoidFirst), ReferenceShuffle(n, seed, avoidFirst))
            << n << " " << seed << " " << avoidFirst;
  EXPECT_TRUE(ShuffleOrder(0, 7, true).empty());
}

TEST(Shuffle, LongListsMoveEntriesBehindTheFirst32768) {
  const std::size_t n = 40000;
  const auto order = ShuffleOrder(n, 1700000000u, true);
  std::vector<bool> seen(n);
  std::size_t unmoved = 0;
  for (std::size_t i = 0; i < n; ++i) {
    ASSERT_FALSE(seen[order[i]]);
    seen[order[i]] = true;
    if (i >= kValuesPerDraw && order[i] == i) ++unmoved;
  }
  EXPECT_LT(unmoved, 100u);  // one 15-bit value per move would leave all 7,232 in place
}

TEST(Shuffle, GeneratorValuesAreBitsSixteenToThirty) {
  ShuffleRandom random(0);        // seeding leaves state 1
  EXPECT_EQ(random.Next(), 346);  // 22695478 >> 16
  ShuffleRandom high(0xFFFFFFFFu);
  for (int i = 0; i < 1000; ++i) {
    const int v = high.Next();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 32767);
  }
}

class ListCommands : public PlayerTest {
 protected:
  ListCommands() { p.clock.Set(1'700'000'123); }
  void Fill(const std::vector<std::string>& entries) { LoadPaths(entries); }
  std::vector<std::string> Rows() const { return player.Form().Rows(); }
  // The user moved the window.
  static void MoveTo(TDODEDEV& t, int top) {
    const MainForm& f = t.Form();
    t.FormForView().SetGeometryFromView(f.Left(), top, f.Width(), f.Height());
  }
};

TEST_F(ListCommands, ShuffleFollowsTheSecondOfTheClock) {
  Fill({"/a.mp3", "/b.mp3", "/c.mp3", "/d.mp3", "/e.mp3"});
  player.N19Click();
  const std::vector<std::string> before = player.List().PlayList.Items();
  player.ShufflePlayList(false);
  std::vector<std::string> expected;
  for (std::size_t i : ReferenceShuffle(5, 1'700'000'123u, false)) expected.push_back(before[i]);
  EXPECT_EQ(player.List().PlayList.Items(), expected);
  EXPECT_FALSE(player.PlayListSorted());
}

TEST_F(ListCommands, ShuffleCommandKeepsPlayingEntryOnTopAndSelected) {
  Fill({"/a.mp3", "/b.mp3", "/c.mp3", "/d.mp3", "/e.mp3"});
  player.SetListBoxSorted(true);
  Select(2);
  player.N20Click();
  EXPECT_EQ(player.List().PlayList[0], "/c.mp3");
  EXPECT_EQ(player.CurrentIndex(), 0);
  EXPECT_EQ(Rows()[0], "c");
  EXPECT_FALSE(player.PlayListSorted());
  EXPECT_FALSE(player.List().ListBoxSorted);
  std::vector<std::string> sorted = player.List().PlayList.Items();
  std::sort(sorted.begin(), sorted.end());
  EXPECT_THAT(sorted, ElementsAre("/a.mp3", "/b.mp3", "/c.mp3", "/d.mp3", "/e.mp3"));
}

TEST_F(ListCommands, ShuffleCommandWithoutSelectionOrEntries) {
  Fill({"/a.mp3", "/b.mp3", "/c.mp3"});
  player.N20Click();
  EXPECT_EQ(player.CurrentIndex(), -1);
  EXPECT_EQ(player.Form().RowCount(), 3);

  ClearList();
  player.N19Click();
  player.N20Click();  // nothing to shuffle: the sorted state stays
  EXPECT_TRUE(player.PlayListSorted());
}

TEST_F(ListCommands, ShuffleOfOneEntryKeepsIt) {
  Fill({"/only.mp3"});
  Select(0);
  player.N20Click();
  EXPECT_THAT(player.List().PlayList.Items(), ElementsAre("/only.mp3"));
  EXPECT_EQ(player.CurrentIndex(), 0);
}

TEST_F(ListCommands, SortKeepsSelectionOnThePlayingEntry) {
  Fill({"/d.mp3", "/B.mp3", "/a.mp3", "/b.mp3", "/c.mp3"});
  Select(3);  // "/b.mp3", not its upper-case twin
  player.N19Click();
  EXPECT_TRUE(player.PlayListSorted());
  EXPECT_EQ(player.List().PlayList.size(), 5u);  // case twins both stay
  ASSERT_GE(player.CurrentIndex(), 0);
  EXPECT_EQ(player.List().PlayList[player.CurrentIndex()], "/b.mp3");
  EXPECT_EQ(player.List().PlayList[0], "/a.mp3");
  EXPECT_EQ(player.List().PlayList[4], "/d.mp3");

  // A third entry equal to the twins is refused while sorted.
  StringList copy = player.List().PlayList;
  EXPECT_EQ(copy.Add("/B.MP3"), -1);

  Select(-1);
  player.N19Click();
  EXPECT_EQ(player.CurrentIndex(), -1);
}

TEST_F(ListCommands, CompactViewTwiceReturnsToFullHeight) {
  TestPlatform q;
  auto t = PlayerBuilder(q).Setting(Top2, "40").Start();
  MoveTo(*t, 200);
  t->listmode1Click();
  EXPECT_TRUE(t->Window().CompactView);
  EXPECT_EQ(t->Form().Height(), 68);
  EXPECT_EQ(t->Form().Top(), 40);

  t->listmode1Click();
  EXPECT_FALSE(t->Window().CompactView);
  EXPECT_EQ(t->Form().Height(), 313);
  EXPECT_EQ(t->Form().Top(), 40);
  EXPECT_EQ(t->Settings()[Top2], "40");
}

TEST_F(ListCommands, CompactViewWithThePointerOverTheListGivesTheWheelBackToTheVolume) {
  player.FIListBox1MouseEnter();
  player.listmode1Click();
  EXPECT_FALSE(player.Window().MouseOverList);
  EXPECT_EQ(player.Form().Active(), ActiveControl::None);
  const int before = player.Playback().Volume;
  player.FormMouseWheelDown();
  EXPECT_LT(player.Playback().Volume, before);
}

TEST_F(ListCommands, CompactViewKeepsTopWhenTop2IsNoNumber) {
  TestPlatform q;
  auto t = PlayerBuilder(q).Setting(Top2, "12px").Start();
  MoveTo(*t, 120);
  t->listmode1Click();
  EXPECT_EQ(t->Form().Top(), 120);
}

TEST_F(ListCommands, LeavingCompactViewLowOnTheScreenMovesTheWindowUp) {
  MoveTo(player, 900);
  player.listmode1Click();
  player.listmode1Click();
  EXPECT_EQ(player.Settings()[Top2], "900");
  EXPECT_EQ(player.Settings()[Top], "900");
  EXPECT_EQ(player.Form().Top(), 1000 + 20 - 313);
}

// An ID3v1 block: marker, 30 bytes of title, 30 of artist, the rest zero.
std::string TagBlock(std::string title, std::string artist) {
  title.resize(30, '\0');
  artist.resize(30, '\0');
  std::string block = "TAG" + title + artist;
  block.resize(128, '\0');
  return block;
}

TEST_F(ListCommands, TagFromTheEndOfTheFile) {
  p.files.AddFile("/a.mp3", std::string(500, 'x') + TagBlock("Title", "Artist  "));
  Fill({"/a.mp3"});
  Select(0);
  player.AG1Click();
  EXPECT_EQ(player.TrackInfo().TagTitle, "Title");
  EXPECT_EQ(player.TrackInfo().TagArtist, "Artist  ");  // trailing blanks are part of the text
  ASSERT_EQ(p.dialogs.boxes.size(), 1u);
  EXPECT_EQ(p.dialogs.boxes[0].text, "Title:Artist  ");
  EXPECT_EQ(p.dialogs.boxes[0].caption, "TAG");

  // All 30 bytes when there is no zero byte; broken text still comes out as UTF-8.
  p.files.AddFile("/b.mp3", TagBlock(std::string(30, 'T'), "\xFF\xFE"));
  player.ReadTag("/b.mp3");
  EXPECT_EQ(player.TrackInfo().TagTitle, std::string(30, 'T'));
  EXPECT_EQ(player.TrackInfo().TagArtist, "\uFFFD\uFFFD");
}

TEST_F(ListCommands, NoTagFromShortFilesOrFilesWithoutTheBlock) {
  p.files.AddFile("/tagged.mp3", std::string(200, 'x') + TagBlock("stale", "old"));
  player.ReadTag("/tagged.mp3");
  ASSERT_EQ(player.TrackInfo().TagTitle, "stale");
  p.files.AddFile("/short.mp3", "TAGabc");
  player.ReadTag("/short.mp3");
  EXPECT_EQ(player.TrackInfo().TagTitle, "");
  EXPECT_EQ(player.TrackInfo().TagArtist, "");

  p.files.AddFile("/plain.mp3", std::string(300, 'x'));
  player.ReadTag("/plain.mp3");
  EXPECT_EQ(player.TrackInfo().TagTitle, "");

  player.ReadTag("/missing.mp3");
  EXPECT_EQ(player.TrackInfo().TagArtist, "");

  player.AG1Click();  // no row selected: no box
  EXPECT_TRUE(p.dialogs.boxes.empty());
}

TEST_F(ListCommands, RowsShowDisplayNamesAndClicksPlayTheirEntry) {
  p.media.AddPlayable("/m/a.b.c.mp3", 10);
  Fill({"/m/a.b.c.mp3", "/m/", "/EXTINF:123,Title", "/noext"});
  EXPECT_THAT(Rows(), ElementsAre("a.b.c", "", "EXTINF:123,Title", "noext"));

  Select(1);  // empty text: nothing happens
  player.FIListBox1Click();
  EXPECT_TRUE(p.media.log.empty());

  Select(0);
  player.FIListBox1Click();
  EXPECT_THAT(p.media.log, ::testing::Contains("render /m/a.b.c.mp3"));

  player.RefreshListBox();
  EXPECT_EQ(player.CurrentIndex(), -1);

  // A list emptied before its rows were rebuilt: the click finds no entry and plays nothing.
  p.media.log.clear();
  Select(3);
  p.files.AddFile("/empty.m3u", "");
  ASSERT_TRUE(player.LoadListFile("/empty.m3u"));
  player.FIListBox1Click();
  EXPECT_TRUE(p.media.log.empty());
}

TEST_F(ListCommands, SortedListBoxStillPlaysEntryOfTheRow) {
  Fill({"/m/z.mp3", "/m/b.mp3", "/n/a.mp3"});
  player.SetListBoxSorted(true);
  EXPECT_THAT(Rows(), ElementsAre("b", "z", "a"));  // path order, not row text order
  for (int row = 0; row < 3; ++row) {
    Select(row);
    player.FIListBox1Click();
    EXPECT_THAT(p.media.log, ::testing::Contains("render " + player.List().PlayList[row]));
  }
}

TEST_F(ListCommands, ScrollWidthIsTheWidestRowPlusFour) {
  player.FitScrollWidth();
  EXPECT_EQ(player.Form().ScrollWidth(), 4);
  Fill({"/m/ab.mp3", "/m/abcdef.mp3", "/m/x.mp3"});
  player.FitScrollWidth();
  EXPECT_EQ(player.Form().ScrollWidth(), 6 * 7 + 4);

  // A hidden window measures when it is shown, on the rows it shows then.
  player.SpeedButton1Click();
  Fill({"/m/abcdefghij.mp3"});
  player.FitScrollWidth();
  EXPECT_EQ(player.Form().ScrollWidth(), 6 * 7 + 4);
  player.N11Click();
  EXPECT_EQ(player.Form().ScrollWidth(), 10 * 7 + 4);
}

}  // namespace
}  // namespace solka
