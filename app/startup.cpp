// PLACEHOLDER: empty handlers, to be written by the owner of this file.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::FormCreate() {}
void TDODEDEV::FirstIdle() {}
void TDODEDEV::BuildStartupList(const std::string&) {}

}  // namespace solka
