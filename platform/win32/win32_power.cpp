#include "platform/win32/win32_power.h"

#include <powrprof.h>

#include <cstdlib>
#include <string_view>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_diagnostics.h"

namespace solka {

namespace {

// Enables the shutdown privilege of this process; false when the system does not grant it.
bool EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
    return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool granted = LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
  // AdjustTokenPrivileges succeeds even when it grants nothing; the last error tells.
  granted = granted && AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
            GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return granted;
}

void Refused(const char* action) {
  WarnLine(std::string("power: ") + action + " refused: " + SystemMessage(GetLastError()));
}

}  // namespace

Win32Power::Win32Power() {
  const char* mode = std::getenv("SOLKA_POWER");
  dryRun_ = mode && std::string_view(mode) == "dry-run";
}

void Win32Power::PowerOff() {
  HoldIdleLock(false);
  if (dryRun_) return WarnLine("power: power-off");
  if (!EnableShutdownPrivilege()) return Refused("power-off");
  if (!ExitWindowsEx(EWX_POWEROFF, 0) && !ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0))
    Refused("power-off");
}

void Win32Power::Suspend() {
  HoldIdleLock(false);
  if (dryRun_) return WarnLine("power: suspend");
  EnableShutdownPrivilege();
  if (!SetSuspendState(FALSE, FALSE, FALSE)) Refused("suspend");
}

void Win32Power::Hibernate() {
  HoldIdleLock(false);
  if (dryRun_) return WarnLine("power: hibernate");
  EnableShutdownPrivilege();
  if (!SetSuspendState(TRUE, FALSE, FALSE)) Refused("hibernate");
}

void Win32Power::MonitorOff() {
  if (dryRun_) return WarnLine("power: monitor-off");
  // Low power first, then off, as the monitor's own power states go.
  for (LPARAM state : {1, 2}) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window_ ? window_ : HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, state,
                        SMTO_ABORTIFHUNG, 1000, &ignored);
  }
}

void Win32Power::HoldIdleLock(bool hold) {
  if (dryRun_ || hold == holding_) return;
  holding_ = hold;
  // The GUI thread asks for it and lets go of it: the request belongs to that thread.
  SetThreadExecutionState(hold ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

}  // namespace solka
