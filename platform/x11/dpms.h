// The monitor's power saving through the X server's DPMS extension.
#pragma once

#include <string>

namespace solka {

// Puts the monitor of the X display named by DISPLAY into standby, then turns it off. Returns
// empty when done, else why nothing happened (no X display, a server without DPMS).
std::string X11MonitorOff();

}  // namespace solka
