// Where the main window is shown for a stored position: a window whose title bar lies off every
// screen (a stored position from another screen layout, or a hand-edited one) could never be
// reached, so it is shown on the nearest screen instead.
#pragma once

#include <vector>

namespace solka {

struct ScreenArea {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const ScreenArea&) const = default;
};

// The window's outer rectangle where it is shown: `wanted` itself when enough of its title bar
// lies on one of `screens` to take hold of it; otherwise moved onto the screen nearest to it,
// whole where it fits. With no screen known, `wanted`.
ScreenArea PlaceOnScreen(const ScreenArea& wanted, const std::vector<ScreenArea>& screens);

// Screen snap: a window moved to within `distance` of an edge of the work area `work` (inside
// or out) lies on that edge; on each axis the nearer edge wins.
ScreenArea SnapToEdges(const ScreenArea& wanted, const ScreenArea& work, int distance);

}  // namespace solka
