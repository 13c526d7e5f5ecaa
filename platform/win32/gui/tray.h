// The notification-area icon: picture and hint as the player sets them, its clicks and its menu.
// It is put back when the shell's task bar starts again (the "TaskbarCreated" broadcast).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace solka {

class TrayIcon {
 public:
  struct Events {
    std::function<void()> click;
    std::function<void()> mouseMove;
    std::function<void(POINT)> menu;
  };
  // `message`: the private message the shell sends to `owner` for the icon.
  TrayIcon(HWND owner, UINT message, Events events);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void Show(int icon, const std::string& hint);
  // The owner's window procedure hands on the icon's message and the broadcast; true when the
  // message was one of them.
  bool Handle(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Apply(DWORD action);

  HWND owner_;
  UINT message_;
  UINT taskbarCreated_;
  Events events_;
  int icon_ = 0;
  std::wstring hint_;
  bool added_ = false;
};

}  // namespace solka
