// PLACEHOLDER: empty handlers, to be written by the owner of this file.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::N19Click() {}
void TDODEDEV::N20Click() {}
void TDODEDEV::ShufflePlayList(bool) {}
void TDODEDEV::listmode1Click() {}
void TDODEDEV::AG1Click() {}
void TDODEDEV::ReadTag(const std::string&) {}

}  // namespace solka
