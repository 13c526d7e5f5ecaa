// What the desktop's media controls may ask of the player beyond the window's own controls.
#pragma once

namespace solka {

// The speeds the speed label steps through, slowest first.
inline constexpr double kPlayerSpeeds[] = {0.8, 1.0, 1.5};

}  // namespace solka
