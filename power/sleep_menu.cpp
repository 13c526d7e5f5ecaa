// The sleep commands of the sleep button and its menus. Arming is not built yet: until it is,
// these commands leave the sleep state as it is (cancelling, N22Click, works).
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::N301Click() {}
void TDODEDEV::N601Click() {}
void TDODEDEV::N21Click() {}
void TDODEDEV::N23Click() {}
void TDODEDEV::SleepButtonClick() {
  N21Click();
}

}  // namespace solka
