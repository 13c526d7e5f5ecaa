// The Win32 services on real files, windows and processes.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/single_instance.h"
#include "desktop/now_playing_messages.h"
#include "dialogs/tform2.h"
#include "dialogs/tform3.h"
#include "platform/win32/gui/dialog_window.h"
#include "platform/win32/gui/dpi.h"
#include "platform/win32/gui/gui_loop.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_codec.h"
#include "platform/win32/win32_copy_data.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_log.h"
#include "platform/win32/win32_shell.h"
#include "playlist/list_file.h"
#include "tests/core/player_fixture.h"
#include "tests/win32/win32_test_support.h"

namespace solka {
namespace {

TEST(Win32Files, JapaneseAndLongPathsListInCaseFreeOrderAndSavesReplaceWhole) {
  Win32FileSystem files;
  TempFolder temp;
  const std::string root = temp.Path() + "\\";
  // Deeper than MAX_PATH: reached through the long form only.
  std::string deep = root + "夜の歌";
  while (deep.size() < 400) deep += "\\" + std::string(40, 'd');
  ASSERT_TRUE(files.MakeFolders(deep));
  ASSERT_EQ(files.WriteFileAtomic(deep + "\\曲.mp3", "abc"), "");
  EXPECT_EQ(files.ReadFile(deep + "\\曲.mp3").bytes, "abc");
  EXPECT_EQ(files.ReadRange(deep + "\\曲.mp3", 1, 5).bytes, "bc");
  EXPECT_EQ(files.FileSize(deep + "\\曲.mp3"), 3u);
  for (const char* name : {"b.wav", "A.mp3", "c.ogg"}) files.WriteFileAtomic(root + name, "x");
  std::vector<DirEntry> entries;
  ASSERT_TRUE(files.ListFolder(root, entries));
  std::vector<std::string> names;
  for (const DirEntry& e : entries) names.push_back(e.name + (e.isDirectory ? "\\" : ""));
  EXPECT_EQ(names, (std::vector<std::string>{"A.mp3", "b.wav", "c.ogg", "夜の歌\\"}));
  EXPECT_EQ(entries[3].id, files.IdOf(root + "夜の歌"));
  EXPECT_TRUE(files.FileExists(root + "a.MP3"));  // names without regard to case

  // A save replaces the old text whole and leaves no temporary file; a read-only one is refused.
  const std::string ini = root + "solka.ini";
  ASSERT_EQ(files.WriteFileAtomic(ini, "old"), "");
  ASSERT_EQ(files.WriteFileAtomic(ini, "new"), "");
  EXPECT_EQ(files.ReadFile(ini).bytes, "new");
  SetFileAttributesW(Widen(ini).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(files.IsWritableFile(ini));
  EXPECT_NE(files.WriteFileAtomic(ini, "lost"), "");
  EXPECT_EQ(files.ReadFile(ini).bytes, "new");
  SetFileAttributesW(Widen(ini).c_str(), FILE_ATTRIBUTE_NORMAL);
  entries.clear();
  files.ListFolder(root, entries);
  EXPECT_EQ(entries.size(), 5u);

  // Paths as the shell gives them; a folder named as one keeps its delimiter.
  EXPECT_EQ(files.FullPath(root + "夜の歌\\..\\x/./y.mp3"), root + "x\\y.mp3");
  EXPECT_EQ(files.FullPath(root + "夜の歌\\.."), root);
  EXPECT_EQ(files.DriveOf(ini), root.substr(0, 3));
  EXPECT_EQ(files.TypeOfDrive(files.DriveOf(ini)), DriveType::Fixed);
  EXPECT_FALSE(files.ReadFile(root + "missing.mp3").ok);
  EXPECT_FALSE(files.ReadFile(root + "missing.mp3").error.empty());
}

TEST(Win32Files, TheLogKeepsItsNewestWholeLinesWithinItsLimit) {
  TempFolder temp;
  // Its folder is made on the first line; the older half goes whenever the limit would pass.
  const std::string log = temp.Path() + "\\ログ\\solka.log";
  for (int i = 1; i <= 200; ++i)
    ASSERT_TRUE(AppendToLog(log, "solka: line " + std::to_string(i) + "\n", 1000));
  const std::string kept = Win32FileSystem().ReadFile(log).bytes;
  EXPECT_LE(kept.size(), 1000u);
  EXPECT_GE(kept.size(), 400u);
  std::string expected;
  for (int i = std::atoi(kept.c_str() + 12); i <= 200; ++i)
    expected += "solka: line " + std::to_string(i) + "\n";
  EXPECT_EQ(kept, expected);
}

TEST(Win32Text, Cp932ListFileRoundTripsThroughTheListReader) {
  Win32Codec codec;
  const std::string lines = "D:\\音楽\\表示.mp3\r\nD:\\ｶﾀｶﾅ\\ソ.wav\r\n";
  const std::string cp932 = Utf8ToCodePage(932, lines);
  ASSERT_NE(cp932, lines);
  EXPECT_EQ(cp932.size(), 34u);  // two bytes per kanji, one per half-width kana
  EXPECT_EQ(DecodeListFile(cp932, codec),
            (std::vector<std::string>{"D:\\音楽\\表示.mp3", "D:\\ｶﾀｶﾅ\\ソ.wav"}));
  EXPECT_FALSE(codec.LegacyToUtf8("\x81\x20\xFF"));   // a lead byte without its trail
  EXPECT_EQ(ReceivedTextToUtf8("D:\\夜"), "D:\\夜");  // this program's own senders
}

TEST(Win32Shell, ArgumentsSurviveTheCommandLineWhateverTheyHold) {
  const std::vector<std::wstring> arguments = {
      L"C:\\Program Files\\qvz.exe", L"-c",       L"",  L"say \"hi\"",
      L"C:\\dir with space\\",       L"a\\\\\"b", L"夜"};
  int count = 0;
  wchar_t** split = CommandLineToArgvW(CommandLine(arguments).c_str(), &count);
  ASSERT_EQ(count, static_cast<int>(arguments.size()));
  for (int i = 0; i < count; ++i) EXPECT_EQ(split[i], arguments[i]) << i;
  LocalFree(split);
}

TEST(Win32InterProcess, SecondStartHandsItsArgumentToThePlayerAndEndsWithOne) {
  Win32InterProcess ipc;
  LockResult lock = ipc.TryLock(std::string(kInstanceLockName));
  ASSERT_EQ(lock.state, LockState::Acquired);
  std::vector<CopyData> received;
  auto endpoint = ipc.Listen(
      std::string(kPlayerWindowClass), [](const CopyData&) { return 0u; },
      [&](const CopyData& frame) { received.push_back(frame); });
  ASSERT_TRUE(endpoint);
  const std::string path = "D:\\音楽\\夜 の 歌";
  EXPECT_EQ(RunSecondStart(path), 1u);
  ASSERT_TRUE(PumpUntil([&] { return received.size() == 1; }));
  EXPECT_EQ(received[0], (CopyData{kHandOverData, path}));
  // A player busy for longer than a start waits for one answer is waited for, never doubled.
  EXPECT_EQ(RunSecondStart(path, kHandOverAnswerMs + 2000), 1u);
  ASSERT_TRUE(PumpUntil([&] { return received.size() == 2; }));

  // The player is gone: the next start becomes the player itself.
  endpoint.reset();
  lock.lock.reset();
  EXPECT_EQ(RunSecondStart(path), 0u);
  EXPECT_EQ(received.size(), 2u);
}

TEST(Win32InterProcess, NowPlayingBytesReachListeningWindowsAsTheyExpectThem) {
  Win32Codec shiftJis(932);
  TestPlatform p(shiftJis);
  Win32InterProcess sender({"Tzzz"});
  p.services.ipc = &sender;
  Win32InterProcess listener;  // takes the bytes as they arrive
  std::vector<std::pair<std::string, CopyData>> received;
  std::vector<std::unique_ptr<CopyDataEndpoint>> endpoints;
  for (const char* name : {"MsnMsgrUIManager", "Tzzz"})
    endpoints.push_back(listener.Listen(
        name, [](const CopyData&) { return 0u; },
        [&received, name](const CopyData& frame) { received.emplace_back(name, frame); }));
  auto player = PlayerBuilder(p).Paths({"/music/夜の歌.mp3"}).Start();
  player->Messenger1Click();
  received.clear();
  player->pauseButtonClick();  // plays the first track
  player->ToolButton9Click();  // stops it
  const std::string tzzz = Utf8ToCodePage(CP_ACP, "DODEDEV : 夜の歌");
  // The client's block is sized from the Shift-JIS length: 3 kanji are 6 bytes there, not 9.
  const std::string announce = MessengerAnnounceText(true, "夜の歌");
  const std::string clear = MessengerClearText();
  EXPECT_EQ(received, (std::vector<std::pair<std::string, CopyData>>{
                          {"MsnMsgrUIManager", MessengerMessage(announce, announce.size() - 3)},
                          {"Tzzz", {3000, tzzz}},
                          {"MsnMsgrUIManager", MessengerMessage(clear, clear.size())},
                          {"Tzzz", {3000, ""}}}));
}

TEST(Win32Text, SettingsFileAndTrayHintGoByTheSystemCodePage) {
  Win32Codec shiftJis(932);
  TestPlatform p(shiftJis);
  // A file as users have it: Shift-JIS, CR LF, a key the player does not know.
  const std::string asFound = "[SETTING]\r\nBaseFolder=D:\\\x93\xFA\x96\x7B\r\nMine=x\r\n";
  auto player = PlayerBuilder(p).SettingsFile(asFound).Start();
  EXPECT_EQ(player->Setting(BaseFolder), "D:\\日本");
  player->SaveSettings();
  std::string saved = p.files.Contents(kTestIni);
  EXPECT_EQ(saved.substr(0, asFound.size()), asFound);  // still Shift-JIS, still CR LF
  EXPECT_EQ(saved.find("\n", asFound.size()) - 1, saved.find("\r\n", asFound.size()));

  // A value Shift-JIS cannot hold: the file stays UTF-8 behind its mark, and reads back.
  TestPlatform marked(shiftJis);
  PlayerBuilder(marked)
      .SettingsFile("\xEF\xBB\xBF[SETTING]\r\nAppName=C:\\Café\\日本.exe\r\n")
      .Start()
      ->SaveSettings();
  saved = marked.files.Contents(kTestIni);
  EXPECT_EQ(saved.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(PlayerBuilder(marked).Start()->Setting(AppName), "C:\\Café\\日本.exe");

  // A new file has Windows' line ends.
  TestPlatform fresh(shiftJis);
  PlayerBuilder(fresh).Start()->SaveSettings();
  EXPECT_EQ(fresh.files.Contents(kTestIni).substr(0, 21), "[SETTING]\r\nBaseFolder");

  // The tray hint counts Shift-JIS bytes: 24 kanji are 48 and stay whole; 40 are cut to 59
  // bytes (byte 60 would start a kanji) and "...".
  std::string kanji40;
  for (int i = 0; i < 40; ++i) kanji40 += "曲";
  const std::string kanji24 = kanji40.substr(0, 24 * 3);
  auto titles =
      PlayerBuilder(p).Paths({"/m/" + kanji24 + ".mp3", "/m/a" + kanji40 + ".mp3"}).Start();
  titles->pauseButtonClick();
  EXPECT_EQ(titles->Form().TrayHint(), kanji24);
  titles->ToolButton7Click();
  EXPECT_EQ(titles->Form().TrayHint(), "a" + kanji40.substr(0, 29 * 3) + "...");
}

// Both dialogs from their tables, in the Japanese face the program picks: every designed
// control exists under its name and shows its caption whole, at its designed size; the dialogs
// belong to the main window, Return reaches the core as Return, and the arrows step up within
// their field's range.
TEST(Win32DialogWindow, EveryDesignedControlShowsItsWholeCaption) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
  GuiLoop loop(GetModuleHandleW(nullptr));
  struct : DialogEvents {
    bool Handle(std::string_view control, DialogEvent event, int) override {
      last = {std::string(control), event};
      return true;
    }
    std::pair<std::string, DialogEvent> last;
  } events;
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
  for (const DialogDesign* design : {&TForm2::Design(), &TForm3::Design()}) {
    DialogForm form;
    DialogWindow window(form, events, loop, owner, *design);
    EXPECT_EQ(GetWindow(window.Handle(), GW_OWNER), owner);
    SendMessageW(window.Handle(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(events.last, (std::pair<std::string, DialogEvent>{"", DialogEvent::ReturnKey}));
    for (const ControlDesign& control : design->controls) {
      HWND shown = window.Control(control.name);
      ASSERT_TRUE(IsWindow(shown)) << control.name;
      RECT r;
      GetWindowRect(shown, &r);
      const int dpi = DpiOf(shown);
      EXPECT_LE(window.CaptionExtent(control, shown), Unscale(r.right - r.left, dpi))
          << control.name;
      if (control.kind == ControlKind::UpDown) {
        int low = -1, high = -1;
        SendMessageW(shown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                     reinterpret_cast<LPARAM>(&high));
        EXPECT_EQ(std::make_pair(low, high), std::make_pair(0, control.maximum));
      }
      if (control.text.empty()) continue;  // up-down buttons and bevels show no text
      LOGFONTW font{};
      GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(shown, WM_GETFONT, 0, 0)), sizeof font,
                 &font);
      EXPECT_EQ(-font.lfHeight, Scale(control.fontSize, dpi)) << control.name;
    }
  }
  DestroyWindow(owner);
}

}  // namespace
}  // namespace solka
