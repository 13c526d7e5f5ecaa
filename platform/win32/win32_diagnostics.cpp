#include "platform/win32/win32_diagnostics.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace solka {

void WarnLine(const std::string& line) {
  std::string text = "solka: " + line;
  // A line stays one line, whatever a file name or a back end's message holds.
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  text += '\n';
  // A program of the GUI subsystem started from Explorer has no stderr at all.
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err && err != INVALID_HANDLE_VALUE && GetFileType(err) != FILE_TYPE_UNKNOWN) {
    DWORD written = 0;
    // One write per line (UTF-8 bytes), so that another thread's line never lands inside it.
    WriteFile(err, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  OutputDebugStringW(Widen(text).c_str());
}

void Win32Diagnostics::Warn(const std::string& line) {
  WarnLine(line);
}

}  // namespace solka
