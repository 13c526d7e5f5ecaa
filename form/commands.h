// What the user does to the main window, as calls into the player: the one input surface every
// front end (the window, a later hand-over from a second start, a desktop service) talks to. It
// names controls by their designed names and knows no toolkit, so the tests can watch exactly
// which handler an input reaches.
//
// Contract: called on the GUI thread, one input at a time; a call may run the event loop
// (message boxes, the closing wait) but never throws.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace solka {

// The keys the main window reacts to; every other key is Other.
enum class KeyCode { F1, Escape, Space, Up, Down, F4, F5, F8, Other };

class WindowCommands {
 public:
  virtual ~WindowCommands() = default;
  // A tool button, menu item, label click or SpeedButton1, by its designed name.
  virtual void Click(std::string_view control) = 0;
  virtual void KeyDown(KeyCode key) = 0;
  virtual void WheelUp() = 0;
  virtual void WheelDown() = 0;
  // The user picked a row; MainForm already holds it as ItemIndex.
  virtual void RowClick() = 0;
  virtual void ListMouseEnter() = 0;
  virtual void ListMouseLeave() = 0;
  virtual void MouseMove() = 0;
  virtual void TrayClick() = 0;
  virtual void TrayMouseMove() = 0;
  virtual void StopButtonMouseDown(bool rightButtonPressed) = 0;
  virtual void VolumeDoubleClick() = 0;
  virtual void ToggleCompactView() = 0;
  // Brings the hidden window back (the user restored it from the task bar).
  virtual void ShowPanel() = 0;
  // Local files and folders dropped on the window, in drop order.
  virtual void DropFiles(const std::vector<std::string>& paths) = 0;
  // The window closes: the last event of the run.
  virtual void Close() = 0;
};

// Wheel turns as notches, one WheelUp or WheelDown each: every platform counts a notch as 120
// units, and a fine-grained wheel's smaller turns add up to whole notches.
class WheelNotches {
 public:
  static constexpr int kUnitsPerNotch = 120;
  void Turn(int units, WindowCommands& commands) {
    remainder_ += units;
    for (; remainder_ >= kUnitsPerNotch; remainder_ -= kUnitsPerNotch) commands.WheelUp();
    for (; remainder_ <= -kUnitsPerNotch; remainder_ += kUnitsPerNotch) commands.WheelDown();
  }

 private:
  int remainder_ = 0;
};

}  // namespace solka
