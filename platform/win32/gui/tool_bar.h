// The main window's tool bar ToolBar1: the designed buttons with their normal and hot glyphs,
// drop-down arrows that open their menus (also as the right-click menu), and hints.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>

namespace solka {

class PopupMenus;

class ToolBar {
 public:
  struct Events {
    std::function<void(std::string_view)> click;
    std::function<void(bool rightButtonPressed)> stopMouseDown;
  };
  ToolBar(HWND parent, int dpi, PopupMenus& menus, Events events);
  ~ToolBar();
  ToolBar(const ToolBar&) = delete;
  ToolBar& operator=(const ToolBar&) = delete;

  HWND Handle() const { return bar_; }
  void ShowSleepButton(int image, const std::string& hint);
  // New glyphs for a new DPI.
  void SetDpi(int dpi);
  // The button's rectangle in the bar, for the trace.
  bool ButtonRect(std::string_view name, RECT& rect) const;

  // The parent hands on its WM_COMMAND and WM_NOTIFY; true when they were the bar's.
  bool Command(UINT id);
  bool Notify(const NMHDR* header, LRESULT& result);

 private:
  static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR self);
  void OpenMenu(int index, bool atPointer);
  int IndexOf(std::string_view name) const;

  HWND parent_;
  HWND bar_;
  PopupMenus& menus_;
  Events events_;
  HIMAGELIST normal_ = nullptr, hot_ = nullptr;
  std::wstring sleepHint_;
  std::wstring hintBuffer_;
  static constexpr UINT kFirstId = 100;
};

}  // namespace solka
