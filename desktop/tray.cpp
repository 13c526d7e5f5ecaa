// Hiding the main window to the notification area and bringing it back, the list box's focus
// under the mouse, the task-bar button and close box settings, and the companion program that
// raises the player when the mouse passes over it while another program has the focus.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::SpeedButton1Click() {
  form_.SetVisible(false);
  window_.InTray = true;
  UpdatePositionTimer();
  form_.SetActive(ActiveControl::None);
}

void TDODEDEV::N11Click() {
  window_.InTray = false;
  form_.SetVisible(true);
  UpdatePositionTimer();
  Timer1Timer();
  if (window_.ScrollWidthDue) FitScrollWidth();
  platform_.screen.BringToFront();
  form_.SetActive(ActiveControl::None);
}

void TDODEDEV::TrayIconClick() {
  if (window_.InTray) {
    N11Click();
    // A second raise: the first can be refused while the tray still holds the focus.
    platform_.screen.BringToFront();
  } else {
    SpeedButton1Click();
  }
}

namespace {
// Mouse-move events come in bursts; one companion start per second is enough to raise the
// window, where one per event would start dozens of processes.
constexpr long long kCompanionPauseMs = 1000;
}  // namespace

void TDODEDEV::TrayIconMouseMove() {
  if (!companion_.CompanionAvailable || platform_.screen.MainWindowIsForeground()) return;
  const long long now = platform_.clock.SteadyMilliseconds();
  if (companion_.CompanionStartedAt >= 0 && now - companion_.CompanionStartedAt < kCompanionPauseMs)
    return;
  companion_.CompanionStartedAt = now;
  // The argument names the window class the companion is to bring to the front; it works
  // unseen.
  platform_.shell.Start(companion_.CompanionPath, {"-c", "TDODEDEV"}, true);
}

// The same start as over the tray icon; the desktop needs no extra permission for it here.
void TDODEDEV::FormMouseMove() {
  TrayIconMouseMove();
}

void TDODEDEV::FIListBox1MouseEnter() {
  window_.MouseOverList = true;
  // The list takes the focus so that the wheel scrolls it instead of changing the volume.
  form_.SetActive(ActiveControl::ListBox);
}

void TDODEDEV::FIListBox1MouseLeave() {
  window_.MouseOverList = false;
  form_.SetActive(ActiveControl::None);
}

void TDODEDEV::ApplyTaskButton() {
  form_.SetTaskButtonVisible(SettingIs(TaskButton, "1"));
}

void TDODEDEV::ApplyCloseBtn() {
  form_.SetCloseBox(SettingIs(CloseBtn, "1"));
}

}  // namespace solka
