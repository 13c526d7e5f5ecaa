// PLACEHOLDER: empty handlers, to be written by the owner of this file.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::ToolButton11Click() {}
void TDODEDEV::FormClose() {}

}  // namespace solka
