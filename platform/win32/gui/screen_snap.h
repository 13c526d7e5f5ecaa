// Screen snap for a top-level window: a move that ends near an edge of its screen's work area
// ends on that edge.
#pragma once

#include <windows.h>

namespace solka {

// Adjusts the move in `pos` (from WM_WINDOWPOSCHANGING) of `window`; `distance` in pixels.
void SnapToWorkArea(HWND window, WINDOWPOS& pos, int distance);

}  // namespace solka
