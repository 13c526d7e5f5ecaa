#include "platform/win32/gui/win32_screen.h"

#include "platform/win32/gui/dpi.h"
#include "platform/win32/wide_text.h"

namespace solka {

namespace {

// The width in designed units (96 DPI) of a text in the control's font.
int TextWidthIn(HWND control, const std::string& text) {
  if (!control) return 0;
  const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  return Unscale(TextPixels(control, font, Widen(text)), DpiOf(control));
}

}  // namespace

int Win32Screen::AvailableHeight() {
  // In pixels, as the window's stored position is.
  return MetricAt(SM_CYFULLSCREEN, DpiOf(main_));
}

int Win32Screen::CaptionHeight() {
  return MetricAt(SM_CYCAPTION, DpiOf(main_));
}

int Win32Screen::ListTextWidth(const std::string& text) {
  return TextWidthIn(list_, text);
}

int Win32Screen::DialogListTextWidth(const std::string& text) {
  return TextWidthIn(dialogList_, text);
}

bool Win32Screen::MainWindowIsForeground() {
  return main_ && GetForegroundWindow() == main_;
}

void Win32Screen::BringToFront() {
  // Only a shown window: whether it is shown is the player's to say (a hidden player is in the
  // tray and stays there), and showing it here would hide that from the player.
  if (!main_ || !IsWindowVisible(main_)) return;
  SetWindowPos(main_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetForegroundWindow(main_);
}

void Win32Screen::SetWaitCursor(bool wait) {
  if (wait) {
    ++waitDepth_;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  } else if (waitDepth_ > 0 && --waitDepth_ == 0) {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  }
}

void Win32Screen::CloseMainWindow() {
  // Posted: the close event comes from the loop, not from inside the caller's handler.
  if (main_) PostMessageW(main_, WM_CLOSE, 0, 0);
}

}  // namespace solka
