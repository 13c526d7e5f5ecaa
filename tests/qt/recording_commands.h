// A stand-in for the player behind the window: it writes down every call as one line.
#pragma once

#include <string>
#include <vector>

#include "form/commands.h"

namespace solka {

class RecordingCommands : public WindowCommands {
 public:
  void Click(std::string_view control) override {
    calls.push_back("click " + std::string(control));
  }
  void KeyDown(KeyCode key) override { calls.push_back("key " + std::to_string(int(key))); }
  void WheelUp() override { calls.push_back("wheel up"); }
  void WheelDown() override { calls.push_back("wheel down"); }
  void RowClick() override { calls.push_back("row click"); }
  void ListMouseEnter() override { calls.push_back("list enter"); }
  void ListMouseLeave() override { calls.push_back("list leave"); }
  void MouseMove() override { calls.push_back("mouse move"); }
  void TrayClick() override { calls.push_back("tray click"); }
  void TrayMouseMove() override { calls.push_back("tray move"); }
  void StopButtonMouseDown(bool right) override {
    calls.push_back(right ? "stop down right" : "stop down");
  }
  void VolumeDoubleClick() override { calls.push_back("volume double click"); }
  void ToggleCompactView() override { calls.push_back("compact view"); }
  void ShowPanel() override { calls.push_back("show panel"); }
  void DropFiles(const std::vector<std::string>& paths) override {
    std::string line = "drop";
    for (const std::string& path : paths) line += " " + path;
    calls.push_back(line);
  }
  void Close() override { calls.push_back("close"); }

  static std::string Key(KeyCode key) { return "key " + std::to_string(int(key)); }

  std::vector<std::string> calls;
};

}  // namespace solka
