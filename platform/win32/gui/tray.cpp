#include "platform/win32/gui/tray.h"

#include <shellapi.h>

#include "platform/win32/gui/dpi.h"
#include "platform/win32/gui/icons.h"
#include "platform/win32/wide_text.h"

namespace solka {

TrayIcon::TrayIcon(HWND owner, UINT message, Events events)
    : owner_(owner),
      message_(message),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")),
      events_(std::move(events)) {
  Apply(NIM_ADD);
}

TrayIcon::~TrayIcon() {
  if (added_) Apply(NIM_DELETE);
}

void TrayIcon::Show(int icon, const std::string& hint) {
  icon_ = icon;
  hint_ = Widen(hint);
  // A shell that refused the icon earlier (not started yet) gets it now.
  Apply(added_ ? NIM_MODIFY : NIM_ADD);
}

void TrayIcon::Apply(DWORD action) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = message_;
  data.hIcon = GroupIcon(icon_, MetricAt(SM_CXSMICON, DpiOf(owner_)));
  // The hint field holds 127 characters; the player's hints are shorter.
  lstrcpynW(data.szTip, hint_.c_str(), ARRAYSIZE(data.szTip));
  const BOOL done = Shell_NotifyIconW(action, &data);
  if (action == NIM_ADD) added_ = done != FALSE;
  if (action == NIM_DELETE) added_ = false;
}

bool TrayIcon::Handle(UINT message, WPARAM, LPARAM lParam) {
  if (message == taskbarCreated_) {
    // A new task bar knows no icon of ours.
    added_ = false;
    Apply(NIM_ADD);
    return true;
  }
  if (message != message_) return false;
  switch (LOWORD(lParam)) {
    case WM_MOUSEMOVE:
      if (events_.mouseMove) events_.mouseMove();
      break;
    // A quick second click is a click all the same: it comes as a double-click and then its
    // own button-up, which alone counts, or the icon would toggle the window twice.
    case WM_LBUTTONUP:
      if (events_.mouseMove) events_.mouseMove();
      if (events_.click) events_.click();
      break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: {
      POINT at;
      GetCursorPos(&at);
      if (events_.menu) events_.menu(at);
      break;
    }
    default:
      break;
  }
  return true;
}

}  // namespace solka
