#include "platform/win32/win32_shell.h"

#include <shellapi.h>

#include <cwctype>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_diagnostics.h"

namespace solka {

namespace {

constexpr std::string_view kDriveOverview = "computer:///";
constexpr wchar_t kComputerFolder[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

bool IsProgramFile(const std::wstring& path) {
  const std::size_t dot = path.rfind(L'.');
  if (dot == std::wstring::npos || path.find_first_of(L"\\/", dot) != std::wstring::npos)
    return false;
  std::wstring extension = path.substr(dot);
  for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
  return extension == L".exe" || extension == L".com";
}

void AppendQuoted(std::wstring& line, const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are escaped, and the quote itself.
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');  // before the closing quote
  line += L'"';
}

}  // namespace

std::wstring CommandLine(const std::vector<std::wstring>& arguments) {
  std::wstring line;
  for (const std::wstring& argument : arguments) {
    if (!line.empty()) line += L' ';
    AppendQuoted(line, argument);
  }
  return line;
}

void Win32Shell::Open(const std::string& target) {
  const std::wstring wide = target == kDriveOverview ? kComputerFolder : Widen(target);
  if (IsProgramFile(wide) && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) {
    Start(target, {});
    return;
  }
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(owner_, nullptr, wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  // Values up to 32 are the shell's error codes.
  if (result <= 32) WarnLine("cannot open " + target + ": " + SystemMessage(GetLastError()));
}

void Win32Shell::Start(const std::string& program, const std::vector<std::string>& arguments,
                       bool hidden) {
  std::vector<std::wstring> line{Widen(program)};
  for (const std::string& argument : arguments) line.push_back(Widen(argument));
  std::wstring commandLine = CommandLine(line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (hidden) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
  }
  PROCESS_INFORMATION process{};
  // The program runs on its own: no handles inherited, none kept.
  if (!CreateProcessW(line[0].c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    WarnLine("cannot start " + program + ": " + SystemMessage(GetLastError()));
    return;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace solka
