#include "base/text.h"

#include <gtest/gtest.h>

namespace solka {
namespace {

TEST(Text, NumbersAreWholeDecimalTexts) {
  EXPECT_EQ(ToIntDef("500", 0), 500);
  EXPECT_EQ(ToIntDef("-2550", 0), -2550);
  EXPECT_EQ(ToIntDef("+7", 0), 7);
  EXPECT_EQ(ToIntDef("abc", 1), 1);
  EXPECT_EQ(ToIntDef("", 1), 1);
  EXPECT_EQ(ToIntDef("12x", 1), 1);
  EXPECT_EQ(ToIntDef(" 12", 1), 1);
  EXPECT_EQ(ToIntDef("99999999999", 1), 1);
}

TEST(Text, CutNeverSplitsACharacter) {
  const std::string s = "ab\xE3\x81\x82";  // "ab" + one three-byte character
  EXPECT_EQ(CutUtf8(s, 5), s);
  EXPECT_EQ(CutUtf8(s, 4), "ab");
  EXPECT_EQ(CutUtf8(s, 3), "ab");
  EXPECT_EQ(CutUtf8(s, 2), "ab");
}

TEST(Text, CaseInsensitiveOrderFoldsAsciiOnly) {
  EXPECT_EQ(CompareNoCase("ABC", "abc"), 0);
  EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
  EXPECT_LT(CompareNoCase("ab", "abc"), 0);
  EXPECT_FALSE(EqualsNoCase("\xC3\x84", "\xC3\xA4"));  // non-ASCII letters keep their case
}

TEST(Text, CaseInsensitiveOrderHoldsPastLongSharedPrefixes) {
  // Case differences early, the deciding byte late, on either side of an eight-byte boundary.
  EXPECT_EQ(CompareNoCase("/MUSIC/Album One/track.mp3", "/music/album one/TRACK.MP3"), 0);
  EXPECT_LT(CompareNoCase("/MUSIC/Album One/a.mp3", "/music/album one/B.mp3"), 0);
  EXPECT_GT(CompareNoCase("/music/album/Zz", "/music/album/za"), 0);
  EXPECT_LT(CompareNoCase("/music/album/", "/music/album/x"), 0);
  EXPECT_LT(CompareNoCase("12345678_", "12345678A"), 0);  // "A" folds to "a", after "_"
}

}  // namespace
}  // namespace solka
