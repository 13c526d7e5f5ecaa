// Requests of the desktop's media controls (media keys, the desktop's player applet) that no
// control of the window makes: a seek to any position and a chosen speed.
#include <cmath>

#include "app/tdodedev.h"
#include "desktop/media_remote.h"

namespace solka {

void TDODEDEV::SeekFromDesktop(double seconds) {
  if (!Playing || !std::isfinite(seconds)) return;
  const double duration = Duration();
  // The end itself is left to the end-of-track step; a position beyond it means nothing.
  if (seconds < 0) seconds = 0;
  if (duration > 0 && seconds >= duration) return;
  Seek(seconds);
}

void TDODEDEV::SetRateFromDesktop(double rate) {
  if (!Playing || !std::isfinite(rate)) return;
  // Only the speed label's steps: any other factor would leave its cycle without a place.
  double nearest = kPlayerSpeeds[0];
  for (double speed : kPlayerSpeeds)
    if (std::abs(speed - rate) < std::abs(nearest - rate)) nearest = speed;
  if (Rate() != nearest) SetRate(nearest);
}

}  // namespace solka
