// Which handler each tool button, menu item and clickable panel control runs, by designed name.
// Menu items that share a handler with a button run exactly that handler, so both behave alike.
#include <string_view>

#include "app/tdodedev.h"

namespace solka {

namespace {

using Handler = void (TDODEDEV::*)();

struct Binding {
  std::string_view name;
  Handler handler;
};

constexpr Binding kBindings[] = {
    // Tool bar
    {"ToolButton1", &TDODEDEV::ToolButton1Click},
    {"ToolButton5", &TDODEDEV::ToolButton5Click},
    {"ToolButton3", &TDODEDEV::ToolButton3Click},
    {"ToolButton7", &TDODEDEV::ToolButton7Click},
    {"pauseButton", &TDODEDEV::pauseButtonClick},
    {"ToolButton9", &TDODEDEV::ToolButton9Click},
    {"SleepButton", &TDODEDEV::SleepButtonClick},
    {"ToolButton11", &TDODEDEV::ToolButton11Click},
    // Status panel and tray icon
    {"Label1", &TDODEDEV::Label1Click},
    {"Label2", &TDODEDEV::Label2Click},
    {"SpeedButton1", &TDODEDEV::SpeedButton1Click},
    {"TrayIcon", &TDODEDEV::TrayIconClick},
    // List menu
    {"N19", &TDODEDEV::N19Click},
    {"N20", &TDODEDEV::N20Click},
    {"N4", &TDODEDEV::N4Click},
    {"N16", &TDODEDEV::N16Click},
    {"N14", &TDODEDEV::N14Click},
    {"AG1", &TDODEDEV::AG1Click},
    // Tray menu
    {"N9", &TDODEDEV::ToolButton5Click},
    {"N6", &TDODEDEV::ToolButton3Click},
    {"N5", &TDODEDEV::ToolButton7Click},
    {"N7", &TDODEDEV::ToolButton9Click},
    {"N17", &TDODEDEV::N17Click},
    {"N302", &TDODEDEV::N301Click},
    {"N602", &TDODEDEV::N601Click},
    {"N212", &TDODEDEV::N21Click},
    {"N232", &TDODEDEV::N23Click},
    {"N30", &TDODEDEV::N22Click},
    {"test1", &TDODEDEV::test1Click},
    {"Messenger1", &TDODEDEV::Messenger1Click},
    {"N13", &TDODEDEV::ToolButton1Click},
    {"N11", &TDODEDEV::N11Click},
    {"Exit1", &TDODEDEV::ToolButton11Click},
    // Sleep menu
    {"N301", &TDODEDEV::N301Click},
    {"N601", &TDODEDEV::N601Click},
    {"N21", &TDODEDEV::N21Click},
    {"N23", &TDODEDEV::N23Click},
    {"N22", &TDODEDEV::N22Click},
};

// The order-of-play items share one handler that tells them apart by name.
constexpr std::string_view kPlayOrderItems[] = {"N1", "N2", "R1", "R2", "R3"};

}  // namespace

bool TDODEDEV::Click(std::string_view control) {
  for (std::string_view item : kPlayOrderItems) {
    if (control == item) {
      N1Click(item);
      return true;
    }
  }
  for (const Binding& binding : kBindings) {
    if (binding.name == control) {
      (this->*binding.handler)();
      return true;
    }
  }
  return false;
}

}  // namespace solka
