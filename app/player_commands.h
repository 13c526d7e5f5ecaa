// The real player behind the window's command surface.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/tdodedev.h"
#include "form/commands.h"

namespace solka {

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
