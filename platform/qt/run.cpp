// PLACEHOLDER: the Qt program is written here.
#include "platform/qt/run.h"

namespace solka {

int RunSolka(int, char**) { return 0; }

}  // namespace solka
