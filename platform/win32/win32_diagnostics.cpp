#include "platform/win32/win32_diagnostics.h"

#include <windows.h>

#include <cstdio>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_log.h"

namespace solka {

namespace {

// A few hundred kilobytes: months of the occasional line, and still quick to read.
constexpr std::uint64_t kLogLimit = 256 * 1024;

// Set at process entry, before any other thread exists; read only afterwards.
std::string logFile;

// A program of the GUI subsystem started from Explorer has no standard handles at all.
bool Usable(HANDLE h) {
  return h && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

void WriteTo(HANDLE out, const std::string& text) {
  DWORD written = 0;
  DWORD mode = 0;
  // A console shows its own code page's bytes: it takes the text as characters instead.
  if (GetConsoleMode(out, &mode)) {
    const std::wstring wide = Widen(text);
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  // One write per line (UTF-8 bytes), so that another thread's line never lands inside it.
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

void WarnLine(const std::string& line) {
  std::string text = "solka: " + line;
  // A line stays one line, whatever a file name or a back end's message holds.
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  text += '\n';
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (Usable(err)) WriteTo(err, text);
  if (!logFile.empty()) AppendToLog(logFile, text, kLogLimit);
  OutputDebugStringW(Widen(text).c_str());
}

void Win32Diagnostics::Warn(const std::string& line) {
  WarnLine(line);
}

void AttachToParentConsole() {
  const bool out = Usable(GetStdHandle(STD_OUTPUT_HANDLE));
  const bool err = Usable(GetStdHandle(STD_ERROR_HANDLE));
  if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
  // What was redirected stays so; the rest goes to the console.
  const HANDLE console =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (console == INVALID_HANDLE_VALUE) return;
  if (!out) {
    SetStdHandle(STD_OUTPUT_HANDLE, console);
    std::freopen("CONOUT$", "w", stdout);
  }
  if (!err) {
    SetStdHandle(STD_ERROR_HANDLE, console);
    std::freopen("CONOUT$", "w", stderr);
  }
}

void SetLogFile(const std::string& path) {
  logFile = path;
}

}  // namespace solka
