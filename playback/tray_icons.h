// Indexes of the tray icon pictures (MAINICON, PLAYICON, SUBICON, TRAYICON).
#pragma once

namespace solka {

constexpr int kPlayingIcon = 1;
// Shown while idle and while paused.
constexpr int kIdleIcon = 3;

}  // namespace solka
