// A dialog's controls shown from the core's state, and the user's actions handed back.
#include <windows.h>

#include <commctrl.h>

#include "platform/win32/gui/dialog_window.h"
#include "platform/win32/gui/dpi.h"
#include "platform/win32/gui/gui_loop.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_owner.h"

namespace solka {

namespace {

constexpr int kFirstId = 100;

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

void DialogWindow::Render(Item& item) {
  const std::string_view name = item.layout.name;
  HWND control = item.window;
  rendering_ = true;
  switch (item.layout.kind) {
    case ControlKind::CheckBox:
    case ControlKind::Radio:
      SendMessageW(control, BM_SETCHECK, form_.Checked(name) ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case ControlKind::Edit: {
      const std::wstring text = Widen(form_.Text(name));
      if (TextOf(control) != text) SetWindowTextW(control, text.c_str());
      break;
    }
    case ControlKind::Combo:
      if (item.itemsVersion != form_.ItemsVersion(name)) {
        item.itemsVersion = form_.ItemsVersion(name);
        SendMessageW(control, CB_RESETCONTENT, 0, 0);
        for (const std::string& entry : form_.Items(name))
          SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry).c_str()));
      }
      SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(form_.ItemIndex(name)), 0);
      break;
    case ControlKind::List: {
      const auto& rows = form_.Items(name);
      SendMessageW(control, WM_SETREDRAW, FALSE, 0);
      if (item.itemsVersion != form_.ItemsVersion(name)) {
        item.itemsVersion = form_.ItemsVersion(name);
        SendMessageW(control, LB_RESETCONTENT, 0, 0);
        SendMessageW(control, LB_INITSTORAGE, rows.size(), static_cast<LPARAM>(rows.size() * 64));
        for (const std::string& row : rows)
          SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(row).c_str()));
      }
      // The selection as runs of rows, so that ten thousand selected rows are one call.
      SendMessageW(control, LB_SETSEL, FALSE, -1);
      for (const auto& [first, last] : form_.SelectedRuns(name))
        SendMessageW(control, LB_SELITEMRANGEEX, static_cast<WPARAM>(first), last);
      SendMessageW(control, LB_SETHORIZONTALEXTENT,
                   static_cast<WPARAM>(Scale(form_.ScrollWidth(name), dpi_)), 0);
      SendMessageW(control, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(control, nullptr, TRUE);
      break;
    }
    case ControlKind::Link:
      SetWindowTextW(control, Widen(form_.Text(name)).c_str());
      break;
    default:
      break;
  }
  rendering_ = false;
}

void DialogWindow::Forward(std::string_view control, DialogEvent event, int row) {
  if (rendering_) return;
  const std::string name(control);  // the items may be re-rendered meanwhile
  events_.Handle(name, event, row);
  // The system may have changed the control on its own (a box ticked): show the core's state.
  if (Item* item = Find(name)) Render(*item);
}

void DialogWindow::Command(Item& item, UINT code) {
  const std::string_view name = item.layout.name;
  switch (item.layout.kind) {
    case ControlKind::Button:
    case ControlKind::Link:
      if (code == BN_CLICKED) Forward(name, DialogEvent::Click);  // STN_CLICKED is also 0
      break;
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) {
        form_.SetCheckedFromView(name, SendMessageW(item.window, BM_GETCHECK, 0, 0) == BST_CHECKED);
        Forward(name, DialogEvent::Click);
      }
      break;
    case ControlKind::Radio:
      if (code == BN_SETFOCUS) Forward(name, DialogEvent::Enter);
      if (code == BN_CLICKED) Forward(name, DialogEvent::Click);
      break;
    case ControlKind::Edit:
      if (code == EN_CHANGE && !rendering_)
        form_.SetTextFromView(name, Narrow(TextOf(item.window)));
      break;
    case ControlKind::Combo:
      if (code == CBN_DROPDOWN) Forward(name, DialogEvent::DropDown);
      if (code == CBN_SELENDOK) {
        const int index = static_cast<int>(SendMessageW(item.window, CB_GETCURSEL, 0, 0));
        // After the list has closed: the handler reorders the entries.
        loop_.Post([this, name, index] {
          form_.SetItemIndexFromView(name, index);
          Forward(name, DialogEvent::Change);
        });
      }
      break;
    case ControlKind::List: {
      const int row = static_cast<int>(SendMessageW(item.window, LB_GETCARETINDEX, 0, 0));
      if (code == LBN_SELCHANGE) Forward(name, DialogEvent::RowClick, row);
      if (code == LBN_DBLCLK) Forward(name, DialogEvent::DblClick, row);
      break;
    }
    default:
      break;
  }
}

LRESULT CALLBACK DialogWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowOwner<DialogWindow>(window, message, lParam);
  if (!self || !self->hints_) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT CALLBACK DialogWindow::PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetParent(page), message, wParam, lParam);
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) != page)
        return SendMessageW(GetParent(page), message, wParam, lParam);
      break;
    default:
      break;
  }
  return DefWindowProcW(page, message, wParam, lParam);
}

LRESULT DialogWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDCANCEL) {
        Forward("", DialogEvent::CloseBox);  // Esc: the core decides
        return 0;
      }
      if (id == IDOK) {
        Forward("", DialogEvent::ReturnKey);  // Return: the core decides, as for Esc
        return 0;
      }
      const int index = id - kFirstId;
      if (index >= 0 && index < static_cast<int>(items_.size()))
        Command(items_[static_cast<std::size_t>(index)], HIWORD(wParam));
      return 0;
    }
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
        ShowPage(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)) + 1);
        return 0;
      }
      if (header->code == UDN_DELTAPOS) {
        // The core steps the number; the arrows only say which way.
        const auto* step = reinterpret_cast<const NMUPDOWN*>(lParam);
        if (Item* item = Find(header->hwndFrom))
          Forward(item->layout.name,
                  step->iDelta > 0 ? DialogEvent::StepUp : DialogEvent::StepDown);
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLORSTATIC: {
      Item* item = Find(reinterpret_cast<HWND>(lParam));
      if (!item) break;
      HDC dc = reinterpret_cast<HDC>(wParam);
      const Colour& c = item->layout.colour;
      SetTextColor(dc, RGB(c.red, c.green, c.blue));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR: {
      Item* item = Find(reinterpret_cast<HWND>(wParam));
      if (item && item->layout.kind == ControlKind::Link) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
    case WM_CLOSE:
      Forward("", DialogEvent::CloseBox);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

bool DialogWindow::Preview(MSG& msg) {
  if (!running_ || (msg.hwnd != window_ && !IsChild(window_, msg.hwnd))) return false;
  Item* item = Find(msg.hwnd);
  if (msg.message == WM_KEYDOWN && item && item->layout.kind == ControlKind::Edit &&
      (msg.wParam == VK_UP || msg.wParam == VK_DOWN)) {
    // The arrow keys step the number in the field, as its up-down buttons do.
    Forward(item->layout.name, msg.wParam == VK_UP ? DialogEvent::StepUp : DialogEvent::StepDown);
    return true;
  }
  if (msg.message == WM_MOUSEMOVE && item && item->layout.kind == ControlKind::List &&
      overList_ != msg.hwnd) {
    overList_ = msg.hwnd;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, msg.hwnd, 0};
    TrackMouseEvent(&track);
    Forward(item->layout.name, DialogEvent::MouseEnter);
  }
  if (msg.message == WM_MOUSELEAVE && msg.hwnd == overList_) overList_ = nullptr;
  // Tab, Enter and Esc as in any dialog.
  return IsDialogMessageW(window_, &msg) != FALSE;
}

}  // namespace solka
