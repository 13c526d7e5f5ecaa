#include "platform/x11/dpms.h"

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

#include <cstdlib>

namespace solka {

namespace {

// Xlib's own handler ends the process on any protocol error; a refused request here is only a
// monitor that stays on.
int refusedRequests = 0;
int CountError(Display*, XErrorEvent*) {
  ++refusedRequests;
  return 0;
}

}  // namespace

std::string X11MonitorOff() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return "no X display";
  Display* display = XOpenDisplay(nullptr);
  if (!display) return std::string("cannot open the X display ") + name;

  std::string result;
  refusedRequests = 0;
  auto* previous = XSetErrorHandler(CountError);
  int eventBase = 0, errorBase = 0;
  if (!DPMSQueryExtension(display, &eventBase, &errorBase) || !DPMSCapable(display)) {
    result = "the display server has no DPMS";
  } else {
    CARD16 level = 0;
    BOOL enabled = False;
    // A level can only be forced while DPMS is on.
    if (DPMSInfo(display, &level, &enabled) && !enabled) DPMSEnable(display);
    DPMSForceLevel(display, DPMSModeStandby);
    XSync(display, False);
    DPMSForceLevel(display, DPMSModeOff);
    XSync(display, False);
    if (refusedRequests > 0) result = "the display server refused the DPMS request";
  }
  XSetErrorHandler(previous);
  XCloseDisplay(display);
  return result;
}

}  // namespace solka
