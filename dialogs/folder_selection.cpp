// The folder selection command. The list selection dialog it shows is not built yet; until it
// is, the command does nothing.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::ToolButton1Click() {}

}  // namespace solka
