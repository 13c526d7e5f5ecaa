// The tray menu's switch for the now-playing broadcast.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::Messenger1Click() {
  // The check mark is the visible copy of the flag; both change together. Telling a listener
  // at once waits for the inter-process channel (desktop/now_playing.cpp).
  track_.NowPlayingOn = !track_.NowPlayingOn;
  form_.SetChecked("Messenger1", track_.NowPlayingOn);
}

}  // namespace solka
