// The program's icons from its own resources: the four icon groups (MAINICON, PLAYICON,
// SUBICON, TRAYICON, by index as the player names them) and the tool-bar glyphs.
#pragma once

#include <windows.h>

namespace solka {

// Icon group `index` (0..3) at the given size in pixels. Shared, never destroyed.
HICON GroupIcon(int index, int size);
// A small icon resource by number, at the given size. Shared, never destroyed.
HICON SmallIcon(int resource, int size);

}  // namespace solka
