// PLACEHOLDER: empty handlers, to be written by the owner of this file.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::SpeedButton1Click() {}
void TDODEDEV::N11Click() {}
void TDODEDEV::TrayIconClick() {}
void TDODEDEV::TrayIconMouseMove() {}
void TDODEDEV::FormMouseMove() {}
void TDODEDEV::FIListBox1MouseEnter() {}
void TDODEDEV::FIListBox1MouseLeave() {}
void TDODEDEV::ApplyTaskButton() {}
void TDODEDEV::ApplyCloseBtn() {}

}  // namespace solka
