// Real folders, message pumping and later starts for the Win32 tests.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_shell.h"

namespace solka {

// Removes `folder` with all it holds, through the long form (the shell's own removal cuts long
// paths short and then works on whatever the cut names).
inline void RemoveTree(const std::wstring& folder) {
  if (folder.rfind(L"\\\\?\\", 0) != 0) return;  // full long-form paths only
  WIN32_FIND_DATAW found{};
  const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName, path = folder + L"\\" + name;
      if (name == L"." || name == L"..") continue;
      // A link to a folder goes, not what it leads to.
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveDirectoryW(path.c_str());
      } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    path_ = Narrow(std::wstring(base) + L"solka-test-" + std::to_wstring(GetCurrentProcessId()) +
                   L"-" + std::to_wstring(GetTickCount64()));
    CreateDirectoryW(Widen(path_).c_str(), nullptr);
  }
  ~TempFolder() { RemoveTree(L"\\\\?\\" + Widen(path_)); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Handles this thread's messages until `done` holds; false after `seconds`.
inline bool PumpUntil(const std::function<bool()>& done, int seconds = 30) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

// Runs this test program as a later start of the player with `argument`, handling this
// thread's messages meanwhile (the hand-over arrives here) after keeping it busy for `busyMs`;
// its exit code, or 99.
inline unsigned RunSecondStart(const std::string& argument, int busyMs = 0) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = CommandLine({self, L"--second-start", Widen(argument)});
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return 99;
  CloseHandle(process.hThread);
  // This thread busy: no message of the later start is handled meanwhile.
  Sleep(static_cast<DWORD>(busyMs));
  DWORD code = 99;
  PumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 60);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  return code;
}

}  // namespace solka
