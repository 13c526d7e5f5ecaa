// The status panel Panel1 at the bottom of the main window: the volume, track and time labels
// and the tray button, at their designed places.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

#include "form/main_form.h"

namespace solka {

class StatusPanel {
 public:
  struct Events {
    std::function<void(std::string_view)> click;
    std::function<void()> volumeDoubleClick;
  };
  StatusPanel(HWND parent, Events events);
  ~StatusPanel();
  StatusPanel(const StatusPanel&) = delete;
  StatusPanel& operator=(const StatusPanel&) = delete;

  // Places the controls along the bottom of a client area `height` pixels high.
  void LayOut(int height, int dpi, HFONT font);
  void ShowLabel(int n, const LabelState& state);
  // The control of a designed name: Label1 to Label3, or the tray button SpeedButton1.
  HWND Control(std::string_view name) const {
    return name == "SpeedButton1" ? trayButton_ : labels_[name.back() - '1'];
  }

  // The parent hands on WM_COMMAND and WM_CTLCOLORSTATIC; true when they were the panel's.
  bool Command(HWND control, UINT code);
  bool Colour(HWND control, HDC dc, LRESULT& brush);

 private:
  int Number(HWND control) const;

  Events events_;
  HWND labels_[3] = {};
  HWND trayButton_ = nullptr;
  COLORREF colours_[3] = {};
  HBRUSH grey_;
};

}  // namespace solka
