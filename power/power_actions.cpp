// The power actions that end the listening, and the monitor power-down.
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
  platform_.power.MonitorPower(1);
  platform_.power.MonitorPower(2);
}

}  // namespace solka
