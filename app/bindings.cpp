// PLACEHOLDER: empty handlers, to be written by the owner of this file.
#include "app/tdodedev.h"

namespace solka {

bool TDODEDEV::Click(std::string_view) { return false; }

}  // namespace solka
