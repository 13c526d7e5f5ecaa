#include "platform/posix/posix_codec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "playlist/list_file.h"

namespace solka {
namespace {

TEST(PosixCodec, DecodesTheLegacyJapaneseCodePage) {
  const PosixCodec codec;
  EXPECT_EQ(codec.LegacyToUtf8("\x82\xA0"), "あ");
  EXPECT_EQ(codec.LegacyToUtf8("\x83\x5C"), "ソ");      // the second byte is a backslash in ASCII
  EXPECT_EQ(codec.LegacyToUtf8("\xB1"), "ｱ");           // half-width kana
  EXPECT_EQ(codec.LegacyToUtf8("\x87\x40"), "①");       // extensions beyond plain Shift-JIS
  EXPECT_EQ(codec.LegacyToUtf8("\x81\x60"), "\uFF5E");  // wave dash as CP932 maps it
  EXPECT_EQ(codec.LegacyToUtf8(""), "");
}

TEST(PosixCodec, RefusesWhatIsNotInTheCodePage) {
  const PosixCodec codec;
  EXPECT_EQ(codec.LegacyToUtf8("abc\x82"), std::nullopt);  // lead byte without its second byte
  EXPECT_EQ(codec.LegacyToUtf8("\x82\x20"), std::nullopt);
}

TEST(PosixCodec, LegacyListFileReadsAsUtf8) {
  const PosixCodec codec;
  const std::string bytes = "D:\\\x89\xB9\x8A\x79\\\x83\x5C\x83\x8D.mp3\r\n#EXTM3U\r\n";
  EXPECT_THAT(DecodeListFile(bytes, codec),
              ::testing::ElementsAre("D:\\音楽\\ソロ.mp3", "#EXTM3U"));
  // Half-width katakana that happen to form UTF-8 on their own ("ﾃｱ" is the bytes of "ñ") are
  // read in the code page of the file around them.
  EXPECT_THAT(DecodeListFile("/m/\xC3\xB1.mp3\r\n/m/\x83\x5C.mp3\r\n", codec),
              ::testing::ElementsAre("/m/ﾃｱ.mp3", "/m/ソ.mp3"));
  // A name in yet another encoding keeps its bytes, and so still names its file.
  EXPECT_THAT(DecodeListFile("/m/\xC3\xB1.mp3\r\n/m/caf\xE9.mp3\r\n", codec),
              ::testing::ElementsAre("/m/\xC3\xB1.mp3", "/m/caf\xE9.mp3"));
}

}  // namespace
}  // namespace solka
