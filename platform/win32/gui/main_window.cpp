#include "platform/win32/gui/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "form/commands.h"
#include "form/layout.h"
#include "platform/win32/gui/dpi.h"
#include "platform/win32/gui/gui_loop.h"
#include "platform/win32/gui/hints.h"
#include "platform/win32/gui/icons.h"
#include "platform/win32/gui/menus.h"
#include "platform/win32/gui/status_panel.h"
#include "platform/win32/gui/tool_bar.h"
#include "platform/win32/gui/tray.h"
#include "platform/win32/wide_text.h"

namespace solka {

namespace {

constexpr UINT kTrayMessage = WM_APP + 10;

}  // namespace

MainWindow::MainWindow(MainForm& form, WindowCommands& commands, GuiLoop& loop, Trace trace)
    : form_(form), commands_(commands), loop_(loop), trace_(trace) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hIcon = GroupIcon(0, GetSystemMetrics(SM_CXICON));
  wc.hIconSm = GroupIcon(0, GetSystemMetrics(SM_CXSMICON));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  listBrush_ = CreateSolidBrush(RGB(kListRed, kListGreen, kListBlue));

  window_ =
      CreateWindowExW(ExStyle(), kClassName, Widen(form_.Caption()).c_str(), Style(), form_.Left(),
                      form_.Top(), form_.Width(), form_.Height(), nullptr, nullptr, instance, this);
  dpi_ = DpiOf(window_);
  menus_ = std::make_unique<PopupMenus>([this](std::string_view item) { commands_.Click(item); });
  toolBar_ = std::make_unique<ToolBar>(
      window_, dpi_, *menus_,
      ToolBar::Events{[this](std::string_view name) { commands_.Click(name); },
                      [this](bool right) { commands_.StopButtonMouseDown(right); }});
  // Owner data: the rows are drawn from the form, so 100,000 rows cost one count message.
  list_ = CreateWindowExW(0, L"LISTBOX", nullptr,
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NODATA |
                              LBS_OWNERDRAWFIXED | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                          0, 0, 0, 0, window_, nullptr, instance, nullptr);
  panel_ = std::make_unique<StatusPanel>(
      window_, StatusPanel::Events{[this](std::string_view name) { commands_.Click(name); },
                                   [this] { commands_.VolumeDoubleClick(); }});
  tray_ = std::make_unique<TrayIcon>(
      window_, kTrayMessage,
      TrayIcon::Events{[this] { commands_.TrayClick(); }, [this] { commands_.TrayMouseMove(); },
                       [this](POINT at) { menus_->Open(kTrayMenu, window_, at, true); }});
  hints_ = std::make_unique<Hints>(window_);
  for (const PanelControlDef& def : PanelControls())
    hints_->Set(panel_->Control(def.name), std::string(def.hint));
  loop_.AddFilter([this](MSG& msg) { return Preview(msg); });
  ApplyDpi(dpi_);
  form_.SetObserver(this);
  DrawEveryPart(*this);
}

MainWindow::~MainWindow() {
  form_.SetObserver(nullptr);
  tray_.reset();
  hints_.reset();
  toolBar_.reset();
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  if (font_) DeleteObject(font_);
  DeleteObject(listBrush_);
}

DWORD MainWindow::Style() const {
  // A sizeable tool window; the system menu (and with it the close box) only on request.
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN;
  if (form_.CloseBox()) style |= WS_SYSMENU;
  return style;
}

DWORD MainWindow::ExStyle() const {
  // A tool window has no task-bar button unless it is asked for.
  return WS_EX_TOOLWINDOW | (form_.TaskButtonVisible() ? WS_EX_APPWINDOW : 0);
}

void MainWindow::Start() {
  started_ = true;
  DrawEveryPart(*this);
}

void MainWindow::Changed(FormPart part) {
  RenderFormPart(*this, part, form_, trace_);
}

void MainWindow::RenderCaption() {
  SetWindowTextW(window_, Widen(form_.Caption()).c_str());
}

void MainWindow::RenderWindowHint() {
  // Controls without a hint of their own show the window's.
  hints_->Set(list_, form_.WindowHint());
}

void MainWindow::RenderAppTitle() {
  // The task-bar button shows the window's caption.
}

void MainWindow::RenderHintsShown() {
  hints_->Activate(form_.HintsShown(),
                   reinterpret_cast<HWND>(SendMessageW(toolBar_->Handle(), TB_GETTOOLTIPS, 0, 0)));
}

void MainWindow::RenderLabel(int n) {
  panel_->ShowLabel(n, form_.Label(n));
}

void MainWindow::RenderScrollWidth() {
  SendMessageW(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(Scale(form_.ScrollWidth(), dpi_)),
               0);
}

void MainWindow::RenderTray() {
  tray_->Show(form_.TrayIcon(), form_.TrayHint());
}

void MainWindow::RenderChecks() {
  menus_->ShowChecks(form_);
}

void MainWindow::RenderSleepButton() {
  toolBar_->ShowSleepButton(form_.SleepImage(), form_.SleepHint());
}

void MainWindow::RenderDropTarget() {
  DragAcceptFiles(window_, form_.AcceptsDrops());
}

void MainWindow::RenderRows() {
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LB_SETCOUNT, static_cast<WPARAM>(form_.RowCount()), 0);
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  RenderSelection();
  InvalidateRect(list_, nullptr, TRUE);
}

void MainWindow::RenderSelection() {
  const int row = form_.ItemIndex();
  SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void MainWindow::RenderActiveControl() {
  if (form_.Active() == ActiveControl::ListBox) {
    SetFocus(list_);
  } else if (GetFocus() && IsChild(window_, GetFocus())) {
    SetFocus(window_);  // keys reach the window itself
  }
}

void MainWindow::DrawRow(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, selected ? GetSysColorBrush(COLOR_HIGHLIGHT) : listBrush_);
  if (item.itemID != static_cast<UINT>(-1) && item.itemID < form_.Rows().size()) {
    const std::wstring text = Widen(form_.Rows()[item.itemID]);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    HGDIOBJ old = SelectObject(dc, font_);
    RECT rect = item.rcItem;
    rect.left += Scale(2, dpi_);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

void MainWindow::ApplyDpi(int dpi) {
  dpi_ = dpi;
  HFONT old = font_;
  font_ = MakeFont(12, dpi_);
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SendMessageW(list_, LB_SETITEMHEIGHT, 0, Scale(kListItemHeight, dpi_));
  toolBar_->SetDpi(dpi_);
  LayOut();
  if (old) DeleteObject(old);
}

void MainWindow::LayOut() {
  RECT client;
  GetClientRect(window_, &client);
  const int w = client.right, h = client.bottom;
  const int bar = Scale(kToolBarHeight, dpi_), panel = Scale(kPanelHeight, dpi_);
  MoveWindow(toolBar_->Handle(), 0, 0, w, bar, TRUE);
  const int listHeight = std::max(0, h - bar - panel);
  MoveWindow(list_, 0, bar, w, listHeight, TRUE);
  ShowWindow(list_, listHeight > 0 ? SW_SHOWNA : SW_HIDE);
  panel_->LayOut(h, dpi_, font_);
}

void MainWindow::TraceControls() {
  // Where each control stands, so that scripts can aim the pointer: from the top-left corner
  // of the window's frame, which this tool window draws itself (the title bar included).
  RECT frame;
  GetWindowRect(window_, &frame);
  const auto report = [this, &frame](const std::string& name, RECT r, HWND from) {
    MapWindowPoints(from, nullptr, reinterpret_cast<POINT*>(&r), 2);
    trace_.Control(name, r.left - frame.left, r.top - frame.top, r.right - r.left,
                   r.bottom - r.top);
  };
  const auto whole = [&report](const std::string& name, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    report(name, r, nullptr);
  };
  whole("FIListBox1", list_);
  for (const PanelControlDef& def : PanelControls())
    whole(std::string(def.name), panel_->Control(def.name));
  for (const ToolButtonDef& def : ToolButtons()) {
    RECT r;
    if (toolBar_->ButtonRect(def.name, r)) report(std::string(def.name), r, toolBar_->Handle());
  }
}

}  // namespace solka
