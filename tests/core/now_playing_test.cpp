#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "desktop/now_playing_messages.h"
#include "tests/core/player_fixture.h"

namespace solka {
namespace {

using namespace std::string_literals;

// ASCII text as UTF-16 little-endian bytes.
std::string Wide(std::string_view ascii) {
  std::string out;
  for (char c : ascii) out += std::string{c, '\0'};
  return out;
}

TEST(NowPlayingMessages, EachFormIsItsExactTextAndTheClientsIsAZeroFilledBlock) {
  const std::string on = MessengerAnnounceText(true, "Song");
  EXPECT_EQ(on, R"(DODEDEV\0Music\01\0{0} -{1}\0Song\0 @DODEDEV\0)");
  EXPECT_EQ(MessengerAnnounceText(false, "Song"),
            R"(DODEDEV\0Music\00\0{0} -{1}\0Song\0 @DODEDEV\0)");
  EXPECT_EQ(MessengerClearText(), R"(DODEDEV\0Music\00\0{0} -{1}\0-\0 @DODEDEV\0)");

  // ASCII converts to exactly twice its length; the block's last two bytes are the terminator.
  const CopyData message = MessengerMessage(on, on.size());
  EXPECT_EQ(message.dwData, 0x547u);
  EXPECT_EQ(message.bytes.size(), 2 * on.size() + 2);
  EXPECT_EQ(message.bytes, Wide(on) + "\0\0"s);
  EXPECT_EQ(MessengerMessage("", 0).bytes, "\0\0"s);

  // The plain-text receiver's text has no terminator; the release sends none at all.
  EXPECT_EQ(TzzzAnnounce("夜の歌").bytes, "DODEDEV : 夜の歌");
  EXPECT_EQ(TzzzAnnounce("夜の歌").dwData, 3000u);
  EXPECT_EQ(TzzzClear().bytes.size(), 0u);
}

TEST(NowPlayingMessages, JapaneseTitleConvertsShorterAndTheRestOfTheBlockIsZero) {
  const std::string text = MessengerAnnounceText(true, "夜の歌");  // 9 bytes, 3 code units
  const CopyData message = MessengerMessage(text, text.size());
  ASSERT_EQ(message.bytes.size(), 2 * text.size() + 2);
  const std::string head = Wide(R"(DODEDEV\0Music\01\0{0} -{1}\0)");
  const std::string title = "\x1C\x59\x6E\x30\x4C\x6B"s;  // U+591C U+306E U+6B4C
  const std::string tail = Wide(R"(\0 @DODEDEV\0)");
  EXPECT_EQ(message.bytes.substr(0, head.size() + title.size() + tail.size()), head + title + tail);
  const std::string rest = message.bytes.substr(head.size() + title.size() + tail.size());
  EXPECT_EQ(rest, std::string(2 + 2 * 6, '\0'));  // the terminator and 6 unused units
}

TEST(NowPlayingMessages, ConversionKeepsEveryCharacterAndReplacesBrokenBytes) {
  EXPECT_EQ(Utf8ToUtf16Le("a\xC3\xA9"), "a\0\xE9\0"s);
  EXPECT_EQ(Utf8ToUtf16Le("\xF0\x9F\x8E\xB5"), "\x3C\xD8\xB5\xDF"s);  // U+1F3B5 as a pair
  // A file name from another system: each stray byte stands as one replacement character.
  EXPECT_EQ(Utf8ToUtf16Le("\x82\xA0x"), "\xFD\xFF\xFD\xFFx\0"s);
  EXPECT_EQ(Utf8ToUtf16Le("\xE3\x81"), "\xFD\xFF\xFD\xFF"s);              // cut short
  EXPECT_EQ(Utf8ToUtf16Le("\xC0\xAF"), "\xFD\xFF\xFD\xFF"s);              // overlong
  EXPECT_EQ(Utf8ToUtf16Le("\xED\xA0\x80"), "\xFD\xFF\xFD\xFF\xFD\xFF"s);  // a lone surrogate
  // However broken, the text fits the block it is sent in.
  const std::string broken(40, '\xFF');
  EXPECT_EQ(MessengerMessage(broken, broken.size()).bytes.size(), 82u);
}

// A frame and the class it went to.
using Sent = std::pair<std::string, CopyData>;

Sent Messenger(const std::string& text) {
  return {"MsnMsgrUIManager", MessengerMessage(text, text.size())};
}
Sent Tzzz(const std::string& text) {
  return {"Tzzz", {3000, text}};
}

class NowPlaying : public PlayerTest {
 protected:
  void Listening(std::initializer_list<std::string> classes) {
    for (const std::string& name : classes) p.ipc.answers[name] = 0;
  }
  // What reached a listener since the last look.
  std::vector<Sent> Take() {
    std::vector<Sent> out;
    for (const MemoryInterProcess::Sent& sent : std::exchange(p.ipc.sent, {}))
      if (p.ipc.answers.contains(sent.windowClass)) out.emplace_back(sent.windowClass, sent.frame);
    return out;
  }
};

TEST_F(NowPlaying, EachStartAnnouncesAfterTheOldTracksClearAndTheSwitchDecidesTheClientsPart) {
  Listening({"MsnMsgrUIManager", "Tzzz"});
  LoadTracks(3);
  // Off: the client still hears each title, marked off, but no clear.
  player.pauseButtonClick();
  EXPECT_EQ(Take(),
            (std::vector{Messenger(MessengerAnnounceText(false, "t0")), Tzzz("DODEDEV : t0")}));
  player.ToolButton7Click();
  EXPECT_EQ(Take(), (std::vector{Tzzz(""), Messenger(MessengerAnnounceText(false, "t1")),
                                 Tzzz("DODEDEV : t1")}));

  // Switched on while paused: the caption as it reads is the title.
  player.N17Click();
  player.Messenger1Click();
  EXPECT_EQ(Take(), std::vector{Messenger(MessengerAnnounceText(true, "[Pause] t1"))});
  player.ToolButton7Click();
  EXPECT_EQ(Take(),
            (std::vector{Messenger(MessengerClearText()), Tzzz(""),
                         Messenger(MessengerAnnounceText(true, "t2")), Tzzz("DODEDEV : t2")}));
  player.ToolButton9Click();
  EXPECT_EQ(Take(), (std::vector{Messenger(MessengerClearText()), Tzzz("")}));
  player.Messenger1Click();
  EXPECT_EQ(Take(), std::vector{Messenger(MessengerClearText())});
  // Switched on while idle: the idle caption stands in the title's place.
  player.Messenger1Click();
  EXPECT_EQ(Take(), std::vector{Messenger(MessengerAnnounceText(true, player.VersionText))});
}

TEST_F(NowPlaying, NobodyListeningMeansNothingDeliveredAndPlaybackUnchanged) {
  LoadTracks(2);
  player.Messenger1Click();
  player.pauseButtonClick();
  player.ToolButton7Click();
  player.ToolButton9Click();
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(Rendered(), (std::vector{Entry(0), Entry(1)}));
  // Only one of the two: the other still gets its messages.
  Listening({"Tzzz"});
  player.pauseButtonClick();
  EXPECT_EQ(Take(), std::vector{Tzzz("DODEDEV : t1")});
}

}  // namespace
}  // namespace solka
