#include "form/window_place.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace solka {

namespace {

// The strip of the title bar that must be on a screen to take hold of the window.
constexpr int kGripHeight = 20;
constexpr int kGripWidth = 48;

// Overlap of [a, a + la) and [b, b + lb), computed wide: stored positions may be any int.
std::int64_t Overlap(std::int64_t a, std::int64_t la, std::int64_t b, std::int64_t lb) {
  return std::max<std::int64_t>(0, std::min(a + la, b + lb) - std::max(a, b));
}

bool Reachable(const ScreenArea& w, const ScreenArea& s) {
  const std::int64_t gripWidth = std::min(kGripWidth, std::max(w.width, 1));
  const std::int64_t gripHeight = std::min(kGripHeight, std::max(w.height, 1));
  return Overlap(w.left, w.width, s.left, s.width) >= gripWidth &&
         Overlap(w.top, gripHeight, s.top, s.height) >= gripHeight;
}

// Distance between the centres, squared (as a double: stored positions may be any int).
double Distance(const ScreenArea& w, const ScreenArea& s) {
  const double dx = (w.left + w.width / 2.0) - (s.left + s.width / 2.0);
  const double dy = (w.top + w.height / 2.0) - (s.top + s.height / 2.0);
  return dx * dx + dy * dy;
}

int Fit(std::int64_t start, int length, int areaStart, int areaLength) {
  // Too long for the area: the start (where the title bar and menus are) stays in sight.
  const std::int64_t last = std::int64_t{areaStart} + std::max(0, areaLength - length);
  return static_cast<int>(std::clamp<std::int64_t>(start, areaStart, last));
}

}  // namespace

ScreenArea PlaceOnScreen(const ScreenArea& wanted, const std::vector<ScreenArea>& screens) {
  if (screens.empty()) return wanted;
  for (const ScreenArea& s : screens)
    if (Reachable(wanted, s)) return wanted;
  const ScreenArea* nearest = &screens.front();
  double best = std::numeric_limits<double>::max();
  for (const ScreenArea& s : screens) {
    const double d = Distance(wanted, s);
    if (d < best) best = d, nearest = &s;
  }
  ScreenArea placed = wanted;
  placed.left = Fit(wanted.left, wanted.width, nearest->left, nearest->width);
  placed.top = Fit(wanted.top, wanted.height, nearest->top, nearest->height);
  return placed;
}

namespace {

// The start on one axis: onto the area's start or end when within `distance` of it.
int Snap(int start, int length, int areaStart, int areaLength, int distance) {
  const std::int64_t toStart = std::int64_t{start} - areaStart;
  const std::int64_t toEnd = std::int64_t{areaStart} + areaLength - (std::int64_t{start} + length);
  const bool nearStart = std::abs(toStart) <= distance, nearEnd = std::abs(toEnd) <= distance;
  if (nearStart && (!nearEnd || std::abs(toStart) <= std::abs(toEnd))) return areaStart;
  if (nearEnd) return static_cast<int>(std::int64_t{areaStart} + areaLength - length);
  return start;
}

}  // namespace

ScreenArea SnapToEdges(const ScreenArea& wanted, const ScreenArea& work, int distance) {
  ScreenArea snapped = wanted;
  snapped.left = Snap(wanted.left, wanted.width, work.left, work.width, distance);
  snapped.top = Snap(wanted.top, wanted.height, work.top, work.height, distance);
  return snapped;
}

}  // namespace solka
