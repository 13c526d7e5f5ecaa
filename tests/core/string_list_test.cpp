#include "base/string_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

namespace solka {
namespace {

using ::testing::ElementsAre;

// Short names from a small alphabet with both cases, so that equal and case-equal texts abound.
std::vector<std::string> RandomTexts(std::mt19937& rng, std::size_t count) {
  std::uniform_int_distribution<int> length(0, 3), letter(0, 5);
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < count; ++i) {
    std::string t;
    for (int k = length(rng); k > 0; --k) t += "aAbB.\xE3"[letter(rng)];
    texts.push_back(t);
  }
  return texts;
}

TEST(StringList, AddAllEqualsAddingOneAtATime) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 300; ++round) {
    const auto present = RandomTexts(rng, rng() % 20);
    const auto added = RandomTexts(rng, rng() % 30);
    const bool sorted = round % 3 != 0;
    StringList bulk, single;
    // Present entries may hold case twins from before the list was sorted.
    for (StringList* list : {&bulk, &single}) {
      list->AddAll(present);
      list->SetSorted(sorted);
    }
    bulk.AddAll(added);
    for (const auto& t : added) single.Add(t);
    ASSERT_EQ(bulk.Items(), single.Items()) << "round " << round;
  }
}

TEST(StringList, SortedStateKeepsCaseTwinsButRefusesNewOnes) {
  StringList list;
  list.AddAll({"b", "B", "a", "b"});
  list.SetSorted(true);
  EXPECT_THAT(list.Items(), ElementsAre("a", "b", "B", "b"));  // equal entries all stay
  EXPECT_EQ(list.Add("A"), -1);
  EXPECT_EQ(list.Add("c"), 4);
  EXPECT_EQ(list.Add("ab"), 1);
  EXPECT_EQ(list.IndexOfNoCase("B"), 2);  // the first of the equal run
  EXPECT_EQ(list.IndexOfPreferExact("B"), 3);
  EXPECT_EQ(list.IndexOfPreferExact("c"), 5);
  EXPECT_EQ(list.IndexOfPreferExact("AB"), 1);
  EXPECT_EQ(list.IndexOfPreferExact("x"), -1);

  list.SetSorted(false);  // from now on: appended, repeats stay
  list.Add("a");
  EXPECT_EQ(list.Items().back(), "a");
  EXPECT_EQ(list.size(), 7u);
  EXPECT_EQ(list.IndexOfPreferExact("a"), 0);
  EXPECT_EQ(list.IndexOfPreferExact("A"), 0);
  EXPECT_EQ(list.IndexOfPreferExact("B"), 3);
}

TEST(StringList, SortingIgnoresCaseOfAsciiOnly) {
  StringList list;
  list.AddAll({"/m/b.mp3", "/M/A.mp3", "/m/\xC3\xA9.mp3", "/m/Z.mp3", "/m/_x.mp3"});
  list.SetSorted(true);
  EXPECT_THAT(list.Items(),
              ElementsAre("/m/_x.mp3", "/M/A.mp3", "/m/b.mp3", "/m/Z.mp3", "/m/\xC3\xA9.mp3"));
}

TEST(StringList, AssignReplacesUnderTheSortedState) {
  StringList list;
  list.Add("old");
  list.SetSorted(true);
  list.Assign({"c", "a", "C", "b"});
  EXPECT_THAT(list.Items(), ElementsAre("a", "b", "c"));
  list.SetSorted(false);
  list.Assign({"c", "a", "c"});
  EXPECT_THAT(list.Items(), ElementsAre("c", "a", "c"));
}

TEST(StringList, MoveAndReorder) {
  StringList list;
  list.AddAll({"0", "1", "2", "3", "4"});
  list.Move(0, 3);
  EXPECT_THAT(list.Items(), ElementsAre("1", "2", "3", "0", "4"));
  list.Move(4, 1);
  EXPECT_THAT(list.Items(), ElementsAre("1", "4", "2", "3", "0"));
  list.Move(9, 0);  // out of range: nothing
  list.Reorder({4, 3, 2, 1, 0});
  EXPECT_THAT(list.Items(), ElementsAre("0", "3", "2", "4", "1"));
  list.Reorder({0, 1});  // not a permutation of this list: nothing
  EXPECT_EQ(list.size(), 5u);
}

TEST(StringList, ASnapshotKeepsItsEntriesWhateverTheListDoesLater) {
  StringList list;
  list.AddAll({"b", "a", "c"});
  const auto snapshot = list.Snapshot();
  list.Move(0, 2);
  const auto moved = list.Snapshot();
  list.Reorder({2, 1, 0});
  list.SetSorted(true);
  list.Add("B2");
  list.Clear();
  EXPECT_THAT(*snapshot, ElementsAre("b", "a", "c"));
  EXPECT_THAT(*moved, ElementsAre("a", "c", "b"));
  EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace solka
