// PLACEHOLDER: empty handlers, to be written by the owner of this file.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::pauseButtonClick() {}
void TDODEDEV::N17Click() {}
void TDODEDEV::ToolButton9MouseDown(bool) {}
void TDODEDEV::ToolButton9Click() {}
void TDODEDEV::Label1Click() {}
void TDODEDEV::Label2Click() {}
void TDODEDEV::FormMouseWheelUp() {}
void TDODEDEV::FormMouseWheelDown() {}
void TDODEDEV::Label3DblClick() {}
void TDODEDEV::FormKeyDown(KeyCode) {}

}  // namespace solka
