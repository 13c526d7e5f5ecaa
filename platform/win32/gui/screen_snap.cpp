#include "platform/win32/gui/screen_snap.h"

#include <dwmapi.h>

#include "form/window_place.h"

namespace solka {

namespace {

// The frame's invisible part on each side (the resize border of newer systems lies outside
// what the user sees), so that the visible edge is the one that snaps.
RECT InvisibleFrame(HWND window) {
  RECT outer{}, seen{};
  if (!IsWindowVisible(window) || !GetWindowRect(window, &outer) ||
      FAILED(DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &seen, sizeof seen)))
    return {};
  return {seen.left - outer.left, seen.top - outer.top, outer.right - seen.right,
          outer.bottom - seen.bottom};
}

}  // namespace

void SnapToWorkArea(HWND window, WINDOWPOS& pos, int distance) {
  if (pos.flags & SWP_NOMOVE) return;
  int width = pos.cx, height = pos.cy;
  if (pos.flags & SWP_NOSIZE) {
    RECT now{};
    GetWindowRect(window, &now);
    width = now.right - now.left, height = now.bottom - now.top;
  }
  const RECT rect{pos.x, pos.y, pos.x + width, pos.y + height};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info)) return;
  const RECT margin = InvisibleFrame(window);
  const RECT& work = info.rcWork;
  const ScreenArea seen{pos.x + margin.left, pos.y + margin.top, width - margin.left - margin.right,
                        height - margin.top - margin.bottom};
  const ScreenArea snapped = SnapToEdges(
      seen, {work.left, work.top, work.right - work.left, work.bottom - work.top}, distance);
  pos.x = snapped.left - margin.left;
  pos.y = snapped.top - margin.top;
}

}  // namespace solka
