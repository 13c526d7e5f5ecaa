#include "platform/win32/gui/status_panel.h"

#include "form/layout.h"
#include "platform/win32/gui/dpi.h"
#include "platform/win32/gui/icons.h"
#include "platform/win32/gui/resource_ids.h"
#include "platform/win32/wide_text.h"

namespace solka {

namespace {

const COLORREF kGrey = RGB(0xc0, 0xc0, 0xc0);

}  // namespace

StatusPanel::StatusPanel(HWND parent, Events events) : events_(std::move(events)) {
  grey_ = CreateSolidBrush(kGrey);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const PanelControlDef& def : PanelControls()) {
    if (def.name == "SpeedButton1") {
      trayButton_ = CreateWindowExW(0, L"BUTTON", nullptr,
                                    WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_ICON | BS_FLAT, 0, 0,
                                    0, 0, parent, nullptr, instance, nullptr);
      continue;
    }
    // SS_NOTIFY: clicks and double-clicks reach the parent.
    labels_[def.name.back() - '1'] =
        CreateWindowExW(0, L"STATIC", L"",
                        WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_NOTIFY | SS_CENTERIMAGE | SS_NOPREFIX,
                        0, 0, 0, 0, parent, nullptr, instance, nullptr);
  }
}

StatusPanel::~StatusPanel() {
  DeleteObject(grey_);
}

void StatusPanel::LayOut(int height, int dpi, HFONT font) {
  const int top = height - Scale(kPanelHeight, dpi);
  for (const PanelControlDef& def : PanelControls()) {
    const int left = Scale(def.left, dpi), width = Scale(def.width, dpi);
    if (def.name == "SpeedButton1") {
      const int side = Scale(16, dpi);
      MoveWindow(trayButton_, left, top + (Scale(kPanelHeight, dpi) - side) / 2, side, side, TRUE);
      SendMessageW(trayButton_, BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(SmallIcon(SOLKA_TRAY_BUTTON, Scale(12, dpi))));
      continue;
    }
    HWND label = Control(def.name);
    MoveWindow(label, left, top, width, Scale(kPanelHeight, dpi), TRUE);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

void StatusPanel::ShowLabel(int n, const LabelState& state) {
  colours_[n - 1] = state.color == Color::Blue ? RGB(0, 0, 255) : RGB(0, 0, 0);
  SetWindowTextW(labels_[n - 1], Widen(state.text).c_str());
  InvalidateRect(labels_[n - 1], nullptr, TRUE);
}

int StatusPanel::Number(HWND control) const {
  for (int n = 1; n <= 3; ++n)
    if (labels_[n - 1] == control) return n;
  return 0;
}

bool StatusPanel::Command(HWND control, UINT code) {
  if (control == trayButton_) {
    if (code == BN_CLICKED) events_.click("SpeedButton1");
    return true;
  }
  const int n = Number(control);
  if (n == 0) return false;
  if (n == 3) {
    if (code == STN_DBLCLK) events_.volumeDoubleClick();
  } else if (code == STN_CLICKED || code == STN_DBLCLK) {
    // The second press of a quick double click is a click all the same.
    events_.click(n == 1 ? "Label1" : "Label2");
  }
  return true;
}

bool StatusPanel::Colour(HWND control, HDC dc, LRESULT& brush) {
  const int n = Number(control);
  if (n == 0) return false;
  SetTextColor(dc, colours_[n - 1]);
  if (n == 3) {
    // The volume stands on grey.
    SetBkColor(dc, kGrey);
    brush = reinterpret_cast<LRESULT>(grey_);
  } else {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    brush = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return true;
}

}  // namespace solka
