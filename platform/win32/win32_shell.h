// Shell actions on Windows: ShellExecuteW for folders, documents and the drive overview, and
// CreateProcessW for programs, each started detached.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/api/desktop.h"

namespace solka {

class Win32Shell : public Shell {
 public:
  // The window that owns what the shell shows (error boxes of its own): the main window.
  void SetOwner(HWND owner) { owner_ = owner; }
  // A program file (.exe, .com) starts itself; anything else goes to the shell's association.
  // "computer:///" is the computer's drive overview.
  void Open(const std::string& target) override;
  void Start(const std::string& program, const std::vector<std::string>& arguments,
             bool hidden = false) override;

 private:
  HWND owner_ = nullptr;
};

// `arguments` as one command line that CommandLineToArgvW and the C runtime split back into the
// same list (quotes and backslashes escaped as they require).
std::wstring CommandLine(const std::vector<std::wstring>& arguments);

}  // namespace solka
