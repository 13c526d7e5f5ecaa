// PLACEHOLDER: empty handlers, to be written by the owner of this file.
#include "app/tdodedev.h"

namespace solka {

bool TDODEDEV::LoadListFile(const std::string&) { return false; }
void TDODEDEV::N4Click() {}

}  // namespace solka
