// What the user does to the main window, as calls into the player. The window talks to this
// interface only, so the tests can watch exactly which handler a control reaches.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/tdodedev.h"

namespace solka {

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

// The real player behind the window.
class PlayerCommands : public WindowCommands {
 public:
  explicit PlayerCommands(TDODEDEV& player) : player_(player) {}
  void Click(std::string_view control) override { player_.Click(control); }
  void KeyDown(KeyCode key) override { player_.FormKeyDown(key); }
  void WheelUp() override { player_.FormMouseWheelUp(); }
  void WheelDown() override { player_.FormMouseWheelDown(); }
  void RowClick() override { player_.FIListBox1Click(); }
  void ListMouseEnter() override { player_.FIListBox1MouseEnter(); }
  void ListMouseLeave() override { player_.FIListBox1MouseLeave(); }
  void MouseMove() override { player_.FormMouseMove(); }
  void TrayClick() override { player_.TrayIconClick(); }
  void TrayMouseMove() override { player_.TrayIconMouseMove(); }
  void StopButtonMouseDown(bool right) override { player_.ToolButton9MouseDown(right); }
  void VolumeDoubleClick() override { player_.Label3DblClick(); }
  void ToggleCompactView() override { player_.listmode1Click(); }
  void ShowPanel() override { player_.N11Click(); }
  void DropFiles(const std::vector<std::string>& paths) override { player_.WMDropFiles(paths); }
  void Close() override { player_.FormClose(); }

 private:
  TDODEDEV& player_;
};

}  // namespace solka
