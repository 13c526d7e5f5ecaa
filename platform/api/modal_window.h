// A dialog window of the GUI layer that the core shows modally.
//
// Contract: GUI thread only. RunModal shows the window and returns once the dialog's model has
// set a modal result (or the application is quitting), with the window hidden again. While it
// waits it keeps handling events: timer ticks, media events and messages from other instances
// reach the player as usual; only user input to the other windows is blocked. The core never
// calls it again while it runs. Never throws.
#pragma once

namespace solka {

class ModalWindow {
 public:
  virtual ~ModalWindow() = default;
  virtual void RunModal() = 0;
};

}  // namespace solka
