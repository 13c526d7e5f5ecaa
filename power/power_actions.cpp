// The power actions that end the listening, the monitor power-down, and the lock that keeps
// the desktop from suspending while music plays.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::ShutdownWindows() {
  platform_.power.PowerOff();
  // The player closes in any case, so that the settings are saved.
  platform_.screen.CloseMainWindow();
}

void TDODEDEV::SuspendSystem() {
  if (SettingIs(SleepMode, "2")) {
    platform_.power.Hibernate();
  } else if (SettingIs(SleepMode, "1")) {
    platform_.power.Suspend();
  }
}

void TDODEDEV::RunSleepAction() {
  if (SettingIs(SleepMode, "0") || SettingIs(SleepMode, "")) {
    ShutdownWindows();
  } else {
    SuspendSystem();
  }
}

void TDODEDEV::test1Click() {
  platform_.clock.Sleep(1500);
  platform_.power.MonitorOff();
}

void TDODEDEV::UpdateIdleLock() {
  platform_.power.HoldIdleLock(playback_.Playing && !playback_.Paused);
}

}  // namespace solka
