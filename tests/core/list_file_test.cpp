#include "playlist/list_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/core/player_fixture.h"

namespace solka {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Knows one legacy character, "\x82\xA0" = "あ", and refuses everything else.
class OneCharCodec : public TextCodec {
 public:
  std::optional<std::string> LegacyToUtf8(const std::string& bytes) const override {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes.compare(i, 2, "\x82\xA0") == 0) {
        out += "あ";
        ++i;
      } else if (static_cast<unsigned char>(bytes[i]) < 0x80) {
        out += bytes[i];
      } else {
        return std::nullopt;
      }
    }
    return out;
  }
};

// `text` (ASCII only) as UTF-16 bytes behind the given mark.
std::string Utf16(std::string_view mark, std::u16string_view text, bool bigEndian) {
  std::string out(mark);
  for (char16_t u : text) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

std::vector<std::string> Decode(std::string_view bytes) {
  return DecodeListFile(bytes, OneCharCodec());
}

TEST(ListFileDecode, Utf16WithEitherMarkInItsOwnByteOrder) {
  const std::u16string text = u"a.mp3\r\n\u65E5\u672C.mp3";  // the second line has no line end
  EXPECT_THAT(Decode(Utf16("\xFF\xFE", text, false)), ElementsAre("a.mp3", "日本.mp3"));
  EXPECT_THAT(Decode(Utf16("\xFE\xFF", text, true)), ElementsAre("a.mp3", "日本.mp3"));
}

TEST(ListFileDecode, Utf16SurrogatesAndBrokenUnits) {
  // A pair becomes one character; a lone half and a dangling odd byte become U+FFFD.
  EXPECT_THAT(Decode(Utf16("\xFF\xFE", u"\U0001F3B5\xD800x", false)),
              ElementsAre("\U0001F3B5\uFFFDx"));
  EXPECT_THAT(Decode(Utf16("\xFF\xFE", u"\xDC00", false) + "A"), ElementsAre("\uFFFD\uFFFD"));
}

TEST(ListFileDecode, ZeroCharacterEndsTheText) {
  EXPECT_THAT(Decode(std::string("a\r\nb\0c\r\nd", 9)), ElementsAre("a", "b"));
  EXPECT_THAT(Decode(Utf16("\xFF\xFE", std::u16string(u"a\r\nb\0c", 6), false)),
              ElementsAre("a", "b"));
  EXPECT_THAT(Decode(std::string("\0a", 2)), IsEmpty());
}

TEST(ListFileDecode, LineEndsOfEveryKindAndEmptyLinesKept) {
  EXPECT_THAT(Decode("a\nb\rc\r\nd"), ElementsAre("a", "b", "c", "d"));
  EXPECT_EQ(Decode("a.mp3\nb.mp3\n"), Decode("a.mp3\r\nb.mp3\r\n"));
  EXPECT_THAT(Decode("a.mp3\r\n\r\nb.mp3"), ElementsAre("a.mp3", "", "b.mp3"));
  EXPECT_THAT(Decode("a\r\rb\n\n"), ElementsAre("a", "", "b", ""));
  EXPECT_THAT(Decode("\r\n"), ElementsAre(""));
  EXPECT_THAT(Decode("\n\r"), ElementsAre("", ""));
  EXPECT_THAT(Decode(""), IsEmpty());
}

TEST(ListFileDecode, EveryLineKeptAsWritten) {
  EXPECT_THAT(Decode("#EXTM3U\r\n#EXTINF:123,Title\r\n  ../rel/x.mp3 \r\n"),
              ElementsAre("#EXTM3U", "#EXTINF:123,Title", "  ../rel/x.mp3 "));
}

TEST(ListFileDecode, OneEncodingForTheWholeFile) {
  EXPECT_THAT(Decode("\xEF\xBB\xBF/m/\xE6\x97\xA5.mp3\r\n"), ElementsAre("/m/日.mp3"));
  // A list written with the legacy code page; one that is UTF-8 by its type keeps the bytes.
  EXPECT_THAT(Decode("/m/a.mp3\r\n/m/\x82\xA0.mp3\r\n"), ElementsAre("/m/a.mp3", "/m/あ.mp3"));
  EXPECT_THAT(DecodeListFile("\xEF\xBB\xBF/m/\x82\xA0.mp3", OneCharCodec(), true),
              ElementsAre("/m/\x82\xA0.mp3"));
  // Neither UTF-8 nor legacy as a whole: every line keeps its bytes, even one that would be
  // valid UTF-8 alone.
  EXPECT_THAT(Decode("/m/\xE6\x97\xA5.mp3\r\n/m/\x82\xA0.mp3\r\n/m/caf\xE9.mp3"),
              ElementsAre("/m/\xE6\x97\xA5.mp3", "/m/\x82\xA0.mp3", "/m/caf\xE9.mp3"));
  EXPECT_THAT(Decode("/m/\xFF\xC3.mp3\r\n/m/\xED\xA0\x80\r\n/m/\xC0\xAF"),
              ElementsAre("/m/\xFF\xC3.mp3", "/m/\xED\xA0\x80", "/m/\xC0\xAF"));
}

TEST(ListFileEncode, CrLfAfterEveryLineAndNothingForNoLines) {
  EXPECT_EQ(EncodeListFile({}), "");
  EXPECT_EQ(EncodeListFile({"/m/a.mp3", "/m/日.mp3"}), "/m/a.mp3\r\n/m/日.mp3\r\n");
  const std::vector<std::string> lines = {"#EXTM3U", "", "/m/日本語.mp3", " x ", ""};
  EXPECT_EQ(Decode(EncodeListFile(lines)), lines);
  // First names that begin with the bytes of a byte-order mark are no mark.
  for (const char* first : {"\xFF\xFE.mp3", "\xFE\xFFx", "\xEF\xBB\xBFy"}) {
    const std::vector<std::string> named = {first, "/m/\xFF.mp3"};
    EXPECT_EQ(Decode(EncodeListFile(named)), named);
  }
}

using ListFileCommands = PlayerTest;

TEST_F(ListFileCommands, LoadReplacesLinesAndPlayList) {
  LoadEntries({"/old.mp3"});
  p.files.AddFile("/m/l.m3u", "b.mp3\r\na.mp3\r\nb.mp3\r\n");
  ASSERT_TRUE(player.LoadListFile("/m/l.m3u"));
  EXPECT_THAT(player.List().SelectedListLines, ElementsAre("/m/b.mp3", "/m/a.mp3", "/m/b.mp3"));
  EXPECT_THAT(player.List().PlayList.Items(), ElementsAre("/m/b.mp3", "/m/a.mp3", "/m/b.mp3"));
}

// A line longer than any path (a damaged or hostile list) is left out with one line on stderr for
// the file, a relative one too when the list's folder makes it so; the rest of the list plays.
TEST_F(ListFileCommands, LinesTooLongForAPathAreSkippedAndTheRestIsLoaded) {
  const std::size_t limit = p.files.Syntax().maxPath;
  const std::string longest = "/" + std::string(limit - 2, 'x');
  // One line longer than a piece of the reading: dropped as it passes, its CR LF with it.
  const std::string huge = std::string(3 << 20, 'h') + "\r\n";
  p.files.AddFile("/m/l.m3u", "/a.mp3\n/" + std::string(limit - 1, 'y') + "\n" + huge + longest +
                                  "\n" + std::string(limit - 3, 'z') + "\nb.mp3\n" + huge);
  ASSERT_TRUE(player.LoadListFile("/m/l.m3u"));
  EXPECT_THAT(player.List().PlayList.Items(), ElementsAre("/a.mp3", longest, "/m/b.mp3"));
  EXPECT_THAT(p.diagnostics.lines,
              ElementsAre("list \"/m/l.m3u\": 4 lines skipped, longer than any path can be"));
  player.WMDropFiles({"/" + std::string(limit, 'd'), "/m/l.m3u"});
  EXPECT_EQ(p.diagnostics.lines.size(), 3u);
  EXPECT_EQ(p.diagnostics.lines[1], "dropped item of " + std::to_string(limit + 1) +
                                        " bytes skipped, longer than any path can be");
  EXPECT_EQ(player.List().PlayList.size(), 3u);
}

TEST_F(ListFileCommands, LoadIntoSortedListSortsAndDropsRepeats) {
  player.N19Click();
  p.files.AddFile("/m/l.m3u", "/b.mp3\r\n/A.mp3\r\n/a.MP3\r\n/b.mp3");
  ASSERT_TRUE(player.LoadListFile("/m/l.m3u"));
  EXPECT_THAT(player.List().SelectedListLines, ElementsAre("/b.mp3", "/A.mp3", "/a.MP3", "/b.mp3"));
  EXPECT_THAT(player.List().PlayList.Items(), ElementsAre("/A.mp3", "/b.mp3"));
}

TEST_F(ListFileCommands, UnreadableFileKeepsListAndTellsWhy) {
  LoadEntries({"/keep.mp3"});
  EXPECT_FALSE(player.LoadListFile("/m/missing.m3u"));
  ASSERT_EQ(p.dialogs.boxes.size(), 1u);
  EXPECT_EQ(p.dialogs.boxes[0].text,
            "ファイル \"/m/missing.m3u\" は開けません。No such file or directory");
  EXPECT_EQ(p.dialogs.boxes[0].caption, "SOLKA");
  EXPECT_THAT(player.List().PlayList.Items(), ElementsAre("/keep.mp3"));
  EXPECT_THAT(player.Form().Rows(), ElementsAre("keep"));
}

TEST_F(ListFileCommands, SaveAsksWhereAndWritesCrLfLines) {
  TestPlatform q;
  auto t = PlayerBuilder(q).Setting(BaseFolder, "/music/").Start();
  LoadList(q, *t, {"/music/a.mp3", "/music/日.mp3"});
  q.files.AddFolder("/out");
  q.dialogs.saveAnswer = "/out/list.m3u";
  t->N4Click();
  ASSERT_EQ(q.dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(q.dialogs.saveRequests[0].initialFolder, "/music/");
  EXPECT_EQ(q.dialogs.saveRequests[0].defaultExtension, ".m3u");
  EXPECT_EQ(q.dialogs.saveRequests[0].filter, "MP3リストファイル（*.m3u）|*.m3u");
  EXPECT_EQ(q.files.Contents("/out/list.m3u"), "/music/a.mp3\r\n/music/日.mp3\r\n");

  // Read back, the file gives the same entries in the same order.
  LoadList(q, *t, {});
  ASSERT_TRUE(t->LoadListFile("/out/list.m3u"));
  EXPECT_THAT(t->List().PlayList.Items(), ElementsAre("/music/a.mp3", "/music/日.mp3"));
}

// A scan lists names as the file system holds them, whatever their encoding; a list saved from
// it must name the same files when it is read back.
TEST_F(ListFileCommands, ListOfScannedNamesInAnyEncodingReadsBackTheSame) {
  for (const char* name :
       {"/music/a.mp3", "/music/caf\xE9.mp3", "/music/\xC3\xA4.mp3", "/music/\x83\x5C.mp3"})
    p.files.AddFile(name);
  player.ScanFolder("/music/");
  const std::vector<std::string> scanned = player.List().PlayList.Items();
  ASSERT_EQ(scanned.size(), 4u);
  p.dialogs.saveAnswer = "/music/list.m3u";
  player.N4Click();
  LoadEntries({});
  ASSERT_TRUE(player.LoadListFile("/music/list.m3u"));
  EXPECT_EQ(player.List().PlayList.Items(), scanned);
}

TEST_F(ListFileCommands, SaveOfEmptyListAndCancel) {
  p.files.AddFolder("/out");
  player.N4Click();  // cancelled
  EXPECT_FALSE(p.files.HasFile("/out/list.m3u"));
  EXPECT_EQ(p.dialogs.saveRequests.at(0).initialFolder, "");

  p.dialogs.saveAnswer = "/out/list.m3u";
  player.N4Click();
  ASSERT_TRUE(p.files.HasFile("/out/list.m3u"));
  EXPECT_EQ(p.files.Contents("/out/list.m3u"), "");
}

TEST_F(ListFileCommands, FailedSaveTellsWhyAndKeepsOldFile) {
  p.files.AddFile("/ro/list.m3u", "old\r\n");
  p.files.SetReadOnlyFile("/ro/list.m3u");
  LoadEntries({"/new.mp3"});
  p.dialogs.saveAnswer = "/ro/list.m3u";
  player.N4Click();
  ASSERT_EQ(p.dialogs.boxes.size(), 1u);
  EXPECT_EQ(p.dialogs.boxes[0].text,
            "ファイル \"/ro/list.m3u\" を作成できません。Permission denied");
  EXPECT_EQ(p.files.Contents("/ro/list.m3u"), "old\r\n");
}

}  // namespace
}  // namespace solka
