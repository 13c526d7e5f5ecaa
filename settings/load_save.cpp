// PLACEHOLDER: empty handlers, to be written by the owner of this file.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::LoadSettings() {}
void TDODEDEV::SaveSettings() {}
void TDODEDEV::SaveDialogSettings() {}

}  // namespace solka
