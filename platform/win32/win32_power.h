// The machine's power on Windows: power-off through ExitWindowsEx with the shutdown privilege
// (forced when the polite request is refused), standby and hibernation through SetSuspendState,
// the monitor through SC_MONITORPOWER, and the idle lock as SetThreadExecutionState.
//
// SOLKA_POWER=dry-run: every action writes one line to stderr ("solka: power: power-off",
// "suspend", "hibernate" or "monitor-off") and calls nothing, not even for the idle lock.
#pragma once

#include <windows.h>

#include "platform/api/desktop.h"

namespace solka {

class Win32Power : public Power {
 public:
  Win32Power();
  // The top-level window that asks for the monitor's power-down (the main window); without one
  // the request goes to every top-level window.
  void SetWindow(HWND window) { window_ = window; }

  void PowerOff() override;
  void Suspend() override;
  void Hibernate() override;
  void MonitorOff() override;
  void HoldIdleLock(bool hold) override;

 private:
  bool dryRun_;
  bool holding_ = false;
  HWND window_ = nullptr;
};

}  // namespace solka
