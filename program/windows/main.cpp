// The Windows program's composition root: creates the Win32 services, DirectShow playback and
// the Win32 windows, wires them to the player and runs the message loop. Only solka.exe links
// this file; everything it wires stays unaware of the others.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/platform_services.h"
#include "app/player_commands.h"
#include "app/settings_place.h"
#include "app/single_instance.h"
#include "app/tdodedev.h"
#include "base/paths.h"
#include "dialogs/player_dialogs.h"
#include "platform/win32/dshow_media.h"
#include "platform/win32/gui/dialog_window.h"
#include "platform/win32/gui/gui_loop.h"
#include "platform/win32/gui/main_window.h"
#include "platform/win32/gui/win32_dialogs.h"
#include "platform/win32/gui/win32_screen.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_codec.h"
#include "platform/win32/win32_copy_data.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_power.h"
#include "platform/win32/win32_shell.h"

namespace solka {

namespace {

std::string ProgramFile() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return Narrow(path);
}

// The first argument as the shell split it (enclosing quotes removed), in UTF-8.
std::string FirstArgument() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::string first = arguments && count >= 2 ? Narrow(arguments[1]) : std::string();
  LocalFree(arguments);
  return first;
}

// What a second start hands over: a relative path means the sender's current folder, which the
// player does not share.
std::string ArgumentToForward(const std::string& argument) {
  if (argument.empty() || argument == kNextTrackCommand) return argument;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(Widen(argument), error);
  return error ? argument : Narrow(absolute.lexically_normal().wstring());
}

// What the settings tab's link opens: the address set at build time when it is one, else the
// README installed beside the program.
std::string HomePage(const std::string& programFile, FileSystem& files) {
  const std::string configured = HomePageAddress(files);
  if (configured.find("://") != std::string::npos) return configured;
  return programFile.substr(0, programFile.find_last_of('\\') + 1) + "README.txt";
}

// The log beside the settings, wherever this copy keeps them.
std::string LogFile(FileSystem& files) {
  return WithDelimiter(ChooseSettingsPlace(ProgramFile(), files).folder, files.Syntax()) +
         "solka.log";
}

void ReportException(const char* what) {
  MessageBoxW(nullptr, Widen(what).c_str(), L"SOLKA", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

int RunPlayer(Win32InterProcess& ipc) {
  GuiLoop loop(GetModuleHandleW(nullptr));
  MainWindow* window = nullptr;
  Win32FileSystem files;
  Win32Codec codec;
  // A text set just before a wait (the closing caption) must be on the screen during it.
  Win32Clock clock([&window] {
    if (window) UpdateWindow(window->Handle());
  });
  Win32Dialogs dialogs;
  Win32Screen screen;
  Win32Shell shell;
  Win32Power power;
  // SOLKA_DSHOW_OUTPUT=renderer: every track through the system's renderer (for comparisons).
  const char* output = std::getenv("SOLKA_DSHOW_OUTPUT");
  DShowMediaBackend media(!(output && std::string(output) == "renderer"));
  Win32Diagnostics diagnostics;
  PlatformServices services{files, codec, clock, loop,        dialogs, screen,
                            shell, power, media, diagnostics, &ipc};

  const std::string programFile = ProgramFile();
  TDODEDEV player(services, {programFile, FirstArgument()});
  PlayerCommands commands(player);
  MainWindow mainWindow(player.FormForView(), commands, loop);
  window = &mainWindow;
  screen.SetMainWindow(mainWindow.Handle(), mainWindow.List());
  // Shell windows the player opens belong to it, and the display is turned off through its own
  // window rather than by a broadcast that waits on every window of the session.
  shell.SetOwner(mainWindow.Handle());
  power.SetWindow(mainWindow.Handle());
  // Now-playing messages name the player's window as their sender.
  ipc.SetSenderWindow(mainWindow.Handle());
  mainWindow.onClosed = [] { PostQuitMessage(0); };

  // The two dialogs, created once after the main window and kept until exit.
  PlayerDialogs dialogModels(player, services, HomePage(programFile, files));
  DialogWindow form2(dialogModels.Form2().Form, dialogModels.Form2(), loop, mainWindow.Handle(),
                     TForm2::Design());
  dialogModels.Form2().SetWindow(&form2);
  screen.SetDialogList(form2.Control("FIListBox1"));
  DialogWindow form3(dialogModels.Form3().Form, dialogModels.Form3(), loop, mainWindow.Handle(),
                     TForm3::Design());
  dialogModels.Form3().SetWindow(&form3);

  player.FormCreate();
  // Closed during the start-up (the session ended while a message box waited).
  if (mainWindow.Closed()) return 0;
  // Later starts reach the player through the main window's WM_COPYDATA (the window of class
  // TDODEDEV is the endpoint itself, not a hidden one beside it); those that came while it was
  // starting are handed on now.
  mainWindow.ListenCopyData(
      [&player](const CopyData& message) { return player.WMCopyData(message); });
  mainWindow.Start();
  return loop.Run();
}

}  // namespace

}  // namespace solka

int main() {
  using namespace solka;
  AttachToParentConsole();
  // Lines on stderr end as on every platform (scripts read them), not with CR LF.
  _setmode(_fileno(stderr), _O_BINARY);
  Win32FileSystem entryFiles;
  SetLogFile(LogFile(entryFiles));
  // A later start lets the player come to the front when it hands its argument over.
  AllowSetForegroundWindow(ASFW_ANY);
  // Help, the version and a mistyped option are answered here and never reach a running player.
  const std::string first = FirstArgument();
  std::error_code missing;
  if (const auto answer = AnswerOption(first, std::filesystem::exists(Widen(first), missing))) {
    std::fputs(answer->out.c_str(), stdout);
    std::fflush(stdout);
    if (!answer->error.empty()) WarnLine(answer->error);
    return answer->exitCode;
  }
  // Decided before any window exists: a second start shows nothing.
  // The "Tzzz" window reads its text in the ANSI code page, as the original sent it.
  Win32InterProcess ipc({"Tzzz"});
  Win32Clock entryClock;
  const InstanceRole role = ClaimOrForward(ipc, entryClock, ArgumentToForward(first));
  if (!role.note.empty()) WarnLine(role.note);
  if (!role.player) return 1;

  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{
      sizeof controls, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  int code = 0;
  try {
    code = RunPlayer(ipc);
  } catch (const std::exception& error) {
    ReportException(error.what());
  } catch (...) {
    ReportException("unknown error");
  }
  CoUninitialize();
  return code;
}
