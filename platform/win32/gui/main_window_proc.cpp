// The main window's messages: commands, notifications, keys, pointer and wheel, drops,
// hand-overs, closing, and where the window stands and whether it is seen.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include "form/commands.h"
#include "form/layout.h"
#include "platform/win32/gui/dpi.h"
#include "platform/win32/gui/gui_loop.h"
#include "platform/win32/gui/main_window.h"
#include "platform/win32/gui/menus.h"
#include "platform/win32/gui/screen_snap.h"
#include "platform/win32/gui/status_panel.h"
#include "platform/win32/gui/tool_bar.h"
#include "platform/win32/gui/tray.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_codec.h"
#include "platform/win32/window_owner.h"

namespace solka {

namespace {

KeyCode KeyFromVirtualKey(WPARAM key) {
  switch (key) {
    case VK_F1:
      return KeyCode::F1;
    case VK_ESCAPE:
      return KeyCode::Escape;
    case VK_SPACE:
      return KeyCode::Space;
    case VK_UP:
      return KeyCode::Up;
    case VK_DOWN:
      return KeyCode::Down;
    case VK_F4:
      return KeyCode::F4;
    case VK_F5:
      return KeyCode::F5;
    case VK_F8:
      return KeyCode::F8;
    default:
      return KeyCode::Other;
  }
}

BOOL CALLBACK CloseMessageBox(HWND window, LPARAM) {
  wchar_t name[16];
  // Message boxes are dialogs of the system's dialog class.
  if (IsWindowVisible(window) && GetClassNameW(window, name, 16) && lstrcmpW(name, L"#32770") == 0)
    PostMessageW(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

}  // namespace

LRESULT CALLBACK MainWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowOwner<MainWindow>(window, message, lParam);
  if (message == WM_NCCREATE) self->window_ = window;  // before CreateWindowExW returns
  // Until every part exists (messages during creation) the system's defaults do.
  if (!self || !self->hints_) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (tray_->Handle(message, wParam, lParam)) return 0;
  switch (message) {
    case WM_COMMAND: {
      HWND control = reinterpret_cast<HWND>(lParam);
      if (control == list_) {
        if (HIWORD(wParam) == LBN_SELCHANGE) {
          form_.SetItemIndexFromView(static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)));
          commands_.RowClick();
        }
        return 0;
      }
      if (control && panel_->Command(control, HIWORD(wParam))) return 0;
      if (toolBar_->Command(LOWORD(wParam))) return 0;
      break;
    }
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (toolBar_->Notify(reinterpret_cast<const NMHDR*>(lParam), result)) return result;
      break;
    }
    case WM_CTLCOLORSTATIC: {
      LRESULT brush = 0;
      if (panel_->Colour(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), brush))
        return brush;
      break;
    }
    case WM_CTLCOLORLISTBOX:
      return reinterpret_cast<LRESULT>(listBrush_);
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight =
          static_cast<UINT>(Scale(kListItemHeight, dpi_));
      return TRUE;
    case WM_DRAWITEM:
      DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == list_) {
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (at.x == -1 && at.y == -1) GetCursorPos(&at);  // from the keyboard
        menus_->Open(kListMenu, window_, at);
        return 0;
      }
      break;
    case WM_NCLBUTTONDBLCLK:
      // A double-click on the title bar toggles the compact view; the system sees it too.
      if (wParam == HTCAPTION) commands_.ToggleCompactView();
      break;
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_COPYDATA:
      return static_cast<LRESULT>(
          CopyDataArrived(*reinterpret_cast<const COPYDATASTRUCT*>(lParam)));
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      RECT least{0, 0, Scale(MainForm::kMinWidth, dpi_),
                 Scale(MainForm::kMinHeight - MainForm::kFrameHeight, dpi_)};
      RECT most{0, 0, Scale(MainForm::kMaxWidth, dpi_),
                Scale(MainForm::kMaxHeight - MainForm::kFrameHeight, dpi_)};
      AdjustWindowRectEx(&least, Style(), FALSE, ExStyle());
      AdjustWindowRectEx(&most, Style(), FALSE, ExStyle());
      info->ptMinTrackSize = {least.right - least.left, least.bottom - least.top};
      info->ptMaxTrackSize = {most.right - most.left, most.bottom - most.top};
      return 0;
    }
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      // Shown only when the player says so, whoever asks: otherwise it would think itself in
      // the tray while the window is seen, and neither its labels nor the tray click would fit.
      if ((pos->flags & SWP_SHOWWINDOW) && started_ && !form_.Visible())
        pos->flags &= ~SWP_SHOWWINDOW;
      const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
      SnapToWorkArea(window_, *pos, Scale(MainForm::kSnapDistance, dpi_));
      return result;
    }
    case WM_SIZE:
      LayOut();
      if (wParam == SIZE_MINIMIZED) {
        // Minimised by the system (a window manager's button): the same as hiding to the tray.
        PostMessageW(window_, WM_SYSCOMMAND, SC_RESTORE, 0);
        if (form_.Visible()) commands_.Click("SpeedButton1");
        return 0;
      }
      ReportGeometry();
      return 0;
    case WM_MOVE:
      if (!IsIconic(window_)) ReportGeometry();
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        commands_.Click("SpeedButton1");
        return 0;
      }
      break;
    case WM_SHOWWINDOW:
      if (wParam && trace_.Enabled() && !controlsTraced_) {
        controlsTraced_ = true;
        loop_.Post([this] { TraceControls(); });
      }
      break;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      ApplyDpi(HIWORD(wParam));
      SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_ACTIVATE:
      // Activated with the focus nowhere in it (a menu or another window had it): the window
      // itself takes the keys.
      if (LOWORD(wParam) != WA_INACTIVE && !IsChild(window_, GetFocus())) SetFocus(window_);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The session ends: the settings are saved as at any other close.
      if (wParam) FinishRun();
      return 0;
    case WM_CLOSE:
      FinishRun();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

bool MainWindow::Preview(MSG& msg) {
  if (closed_ || (msg.hwnd != window_ && !IsChild(window_, msg.hwnd))) return false;
  switch (msg.message) {
    case WM_SYSKEYDOWN:
      // Without a focused window the keys come as system keys; with Alt they are the system's.
      if (msg.lParam & (1 << 29)) return false;
      [[fallthrough]];
    case WM_KEYDOWN:
      // Key preview: the window sees the key before the focused control does.
      commands_.KeyDown(KeyFromVirtualKey(msg.wParam));
      // Everything but the list's own navigation is the window's.
      return msg.hwnd == list_ && (msg.wParam == VK_SPACE || msg.wParam == VK_ESCAPE);
    case WM_MOUSEMOVE: {
      if (msg.hwnd == list_ && !overList_) {
        overList_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, list_, 0};
        TrackMouseEvent(&track);
        commands_.ListMouseEnter();
      }
      POINT at;
      GetCursorPos(&at);
      // The system repeats a move when nothing moved (a window shown under the pointer).
      if (at.x == lastMove_.x && at.y == lastMove_.y) return false;
      lastMove_ = at;
      commands_.MouseMove();
      return false;
    }
    case WM_MOUSELEAVE:
      if (msg.hwnd == list_ && overList_) {
        overList_ = false;
        commands_.ListMouseLeave();
      }
      return false;
    case WM_MOUSEWHEEL:
      // The list scrolls itself as well when the pointer is over it (the player leaves the
      // volume alone then).
      wheel_.Turn(GET_WHEEL_DELTA_WPARAM(msg.wParam), commands_);
      return msg.hwnd != list_;
    default:
      return false;
  }
}

void MainWindow::DropFiles(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(length);
    paths.push_back(Narrow(path));
  }
  DragFinish(drop);
  SetForegroundWindow(window_);  // the window that took the drop comes forward
  if (!paths.empty()) commands_.DropFiles(paths);
}

std::uint32_t MainWindow::CopyDataArrived(const COPYDATASTRUCT& data) {
  CopyData message;
  message.dwData = static_cast<std::uint32_t>(data.dwData);
  if (data.lpData && data.cbData <= kMaxCopyDataBytes)
    message.bytes.assign(static_cast<const char*>(data.lpData), data.cbData);
  else if (data.cbData > 0)
    return 0;  // refused unread, as on every platform
  // A C string's terminator is not part of the text; a sender of the original design sends
  // its text in the ANSI code page.
  if (!message.bytes.empty() && message.bytes.back() == '\0') message.bytes.pop_back();
  message.bytes = ReceivedTextToUtf8(message.bytes);
  if (copyData_) return copyData_(message);
  // The player is still starting: it takes the message once it is ready.
  earlyCopyData_.push_back(std::move(message));
  return 1;
}

void MainWindow::ListenCopyData(std::function<std::uint32_t(const CopyData&)> handler) {
  copyData_ = std::move(handler);
  std::vector<CopyData> early;
  early.swap(earlyCopyData_);
  for (const CopyData& message : early) copyData_(message);
}

void MainWindow::RequestClose() {
  if (!closed_) PostMessageW(window_, WM_CLOSE, 0, 0);
}

void MainWindow::FinishRun() {
  if (closed_) return;
  closed_ = true;
  commands_.Close();
  // A message box waiting for its OK must not keep the run alive once it has closed.
  EnumThreadWindows(GetCurrentThreadId(), CloseMessageBox, 0);
  ShowWindow(window_, SW_HIDE);
  if (onClosed) onClosed();
}

std::vector<ScreenArea> MainWindow::ScreenAreas() const {
  std::vector<ScreenArea> areas;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM out) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info)) {
          const RECT& r = info.rcWork;
          reinterpret_cast<std::vector<ScreenArea>*>(out)->push_back(
              {r.left, r.top, r.right - r.left, r.bottom - r.top});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

void MainWindow::RenderGeometry() {
  rendering_ = true;
  // Width and height are designed units (client width, outer height); the position is the
  // frame's, in pixels, as stored. A position off every screen is shown on one.
  RECT outer{0, 0, Scale(form_.Width(), dpi_),
             Scale(form_.Height() - MainForm::kFrameHeight, dpi_)};
  AdjustWindowRectEx(&outer, Style(), FALSE, ExStyle());
  placed_ =
      PlaceOnScreen({form_.Left(), form_.Top(), outer.right - outer.left, outer.bottom - outer.top},
                    ScreenAreas());
  SetWindowPos(window_, nullptr, placed_.left, placed_.top, placed_.width, placed_.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  rendering_ = false;
  ReportGeometry();  // the limits may have bent the request
}

void MainWindow::ReportGeometry() {
  if (rendering_ || !list_) return;
  RECT frame, client;
  GetWindowRect(window_, &frame);
  GetClientRect(window_, &client);
  int left = frame.left, top = frame.top;
  // Where the window was put to keep it on a screen is not the user's choice.
  if (left == placed_.left && top == placed_.top) left = form_.Left(), top = form_.Top();
  form_.SetGeometryFromView(left, top, Unscale(client.right, dpi_),
                            Unscale(client.bottom, dpi_) + MainForm::kFrameHeight);
}

void MainWindow::RenderVisible() {
  if (!started_) return;
  trace_.State("visible", form_.Visible() ? "1" : "0");
  ShowWindow(window_, form_.Visible() ? SW_SHOW : SW_HIDE);
}

void MainWindow::RenderBorderIcons() {
  SetWindowLongPtrW(window_, GWL_STYLE,
                    static_cast<LONG_PTR>(Style()) | (IsWindowVisible(window_) ? WS_VISIBLE : 0));
  SetWindowPos(window_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void MainWindow::RenderTaskButton() {
  const bool shown = IsWindowVisible(window_) != FALSE;
  const auto current = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE));
  const DWORD wanted = (current & ~DWORD{WS_EX_APPWINDOW}) | (ExStyle() & WS_EX_APPWINDOW);
  if (current == wanted) return;
  // The task bar reads the style when the window is shown.
  if (shown) ShowWindow(window_, SW_HIDE);
  SetWindowLongPtrW(window_, GWL_EXSTYLE, static_cast<LONG_PTR>(wanted));
  if (shown) ShowWindow(window_, SW_SHOWNA);
}

}  // namespace solka
