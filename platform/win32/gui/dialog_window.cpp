#include "platform/win32/gui/dialog_window.h"

#include <commctrl.h>

#include <iterator>

#include "platform/win32/gui/dpi.h"
#include "platform/win32/gui/gui_loop.h"
#include "platform/win32/gui/hints.h"
#include "platform/win32/wide_text.h"

namespace solka {

namespace {

constexpr int kFirstId = 100;
constexpr int kHintShowMs = 5000;  // a hint stays up five seconds
constexpr wchar_t kPageClass[] = L"SolkaPage";

struct ClassOf {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

// The window class and styles of each kind of control, in the order of ControlKind. Radio
// buttons are not automatic: the core keeps the group's single check, and BS_NOTIFY makes the
// focus arriving an event of its own. A list box click toggles its row, without the Shift/Ctrl
// scheme.
const ClassOf kClasses[] = {
    {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {L"BUTTON", BS_RADIOBUTTON | BS_NOTIFY | WS_TABSTOP, 0},
    {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
    {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
    {L"LISTBOX",
     LBS_MULTIPLESEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE},
    {L"STATIC", SS_LEFT | SS_NOPREFIX, 0},
    {L"STATIC", SS_RIGHT | SS_NOTIFY | SS_NOPREFIX, 0},
    {UPDOWN_CLASSW, 0, 0},
    {L"BUTTON", BS_GROUPBOX, 0},
    {L"STATIC", SS_ETCHEDVERT, 0},
};
static_assert(std::size(kClasses) == static_cast<std::size_t>(ControlKind::Bevel) + 1);

}  // namespace

DialogWindow::DialogWindow(DialogForm& form, DialogEvents& events, GuiLoop& loop, HWND owner,
                           const DialogDesign& design)
    : form_(form), events_(events), loop_(loop), design_(design) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const std::wstring className = Widen(std::string(design.name));
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className.c_str();
  RegisterClassExW(&wc);
  const DWORD style =
      WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN | (design.toolWindow ? WS_SYSMENU : 0);
  const DWORD exStyle = design.toolWindow ? WS_EX_TOOLWINDOW : WS_EX_DLGMODALFRAME;
  window_ = CreateWindowExW(exStyle, className.c_str(), Widen(std::string(design.caption)).c_str(),
                            style, 0, 0, design.clientWidth, design.clientHeight, owner, nullptr,
                            instance, this);
  dpi_ = DpiOf(window_);
  hints_ = std::make_unique<Hints>(window_);
  hints_->SetShowTime(kHintShowMs);
  if (!design.pages.empty()) {
    tabs_ = CreateWindowExW(0, WC_TABCONTROLW, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0,
                            0, Scale(design.clientWidth, dpi_), Scale(design.pagesHeight, dpi_),
                            window_, nullptr, instance, nullptr);
    SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(Font(12, false, false)), FALSE);
    wc.lpfnWndProc = PageProc;
    wc.lpszClassName = kPageClass;
    RegisterClassExW(&wc);
    for (std::size_t i = 0; i < design.pages.size(); ++i) {
      std::wstring caption = Widen(std::string(design.pages[i]));
      TCITEMW tab{};
      tab.mask = TCIF_TEXT;
      tab.pszText = caption.data();
      SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tab));
    }
    // A page is a plain window in the tab's display area (placed by LayOut), in the window face
    // colour as the designed pages are; its controls' messages go on to the dialog.
    for (std::size_t i = 0; i < design.pages.size(); ++i)
      pages_.push_back(CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, nullptr,
                                       WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, window_, nullptr,
                                       instance, nullptr));
  }
  items_.reserve(design.controls.size());
  for (const ControlDesign& layout : design.controls) {
    items_.push_back({layout, {layout.x, layout.width, layout.fontSize}});
    Create(items_.back());
  }
  LayOut(FitDialog(design, TitleExtent(), [this](const ControlDesign& control, int size) {
    Item& item = items_[static_cast<std::size_t>(&control - design_.controls.data())];
    SetFont(item, size);
    return CaptionExtent(control, item.window);
  }));
  ShowPage(1);
  loop_.AddFilter([this](MSG& msg) { return Preview(msg); });
  form_.SetObserver(this);
  RenderAll();
}

DialogWindow::~DialogWindow() {
  form_.SetObserver(nullptr);
  hints_.reset();
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
  for (auto& [key, font] : fonts_) DeleteObject(font);
}

RECT DialogWindow::Place(const Item& item) const {
  // In the dialog, or in the page that holds the control.
  const ControlDesign& c = item.layout;
  return {Scale(item.fit.x, dpi_), Scale(c.y, dpi_), Scale(item.fit.x + item.fit.width, dpi_),
          Scale(c.y + c.height, dpi_)};
}

void DialogWindow::Create(Item& item) {
  const ControlDesign& layout = item.layout;
  const ClassOf& cls = kClasses[static_cast<int>(layout.kind)];
  const int id = kFirstId + static_cast<int>(&item - items_.data());
  DWORD style = WS_CHILD | WS_VISIBLE | cls.style;
  if (layout.kind == ControlKind::Button && layout.name == design_.defaultButton)
    style |= BS_DEFPUSHBUTTON;
  item.window = CreateWindowExW(
      cls.exStyle, cls.name, Widen(std::string(layout.text)).c_str(), style, 0, 0, 0, 0,
      layout.page > 0 ? pages_[static_cast<std::size_t>(layout.page - 1)] : window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (layout.kind == ControlKind::List)
    SendMessageW(item.window, LB_SETITEMHEIGHT, 0, Scale(design_.rowHeight, dpi_));
  // Up is up: the system's default range runs from 100 down to 0.
  if (layout.kind == ControlKind::UpDown)
    SendMessageW(item.window, UDM_SETRANGE32, 0, layout.maximum);
  if (!layout.hint.empty()) hints_->Set(item.window, std::string(layout.hint));
}

void DialogWindow::SetFont(Item& item, int size) {
  const ControlDesign& c = item.layout;
  SendMessageW(item.window, WM_SETFONT,
               reinterpret_cast<WPARAM>(Font(size, c.bold, c.kind == ControlKind::Link)), FALSE);
}

void DialogWindow::LayOut(const DialogFit& fit) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE));
  RECT outer{0, 0, Scale(fit.clientWidth, dpi_), Scale(design_.clientHeight, dpi_)};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (tabs_) {
    MoveWindow(tabs_, 0, 0, Scale(fit.clientWidth, dpi_), Scale(design_.pagesHeight, dpi_), FALSE);
    RECT area;
    GetClientRect(tabs_, &area);
    SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (HWND page : pages_)
      SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_NOACTIVATE);
  }
  for (std::size_t i = 0; i < items_.size(); ++i) {
    Item& item = items_[i];
    item.fit = fit.controls[i];
    SetFont(item, item.fit.fontSize);
    const RECT at = Place(item);
    // A combo box's height includes its drop-down list.
    const int height = item.layout.kind == ControlKind::Combo ? Scale(16 * design_.rowHeight, dpi_)
                                                              : at.bottom - at.top;
    MoveWindow(item.window, at.left, at.top, at.right - at.left, height, FALSE);
  }
}

int DialogWindow::CaptionExtent(const ControlDesign& control, HWND window) const {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  const int text = TextPixels(window, font, Widen(ShownCaption(control.text)));
  // What the control draws beside its text: the check mark and its gap, or the frame.
  int chrome = 0;
  if (control.kind == ControlKind::CheckBox || control.kind == ControlKind::Radio)
    chrome = MetricAt(SM_CXMENUCHECK, dpi_) + Scale(4, dpi_);
  else if (control.kind == ControlKind::Button)
    chrome = 2 * MetricAt(SM_CXEDGE, dpi_) + Scale(4, dpi_);
  else if (control.kind == ControlKind::Group)
    chrome = Scale(16, dpi_);
  return ((text + chrome) * kDesignDpi + dpi_ - 1) / dpi_;
}

int DialogWindow::TitleExtent() const {
  // The small caption of a tool window with its close box.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfSmCaptionFont);
  const int text = TextPixels(window_, font, Widen(std::string(design_.caption)));
  DeleteObject(font);
  return Unscale(text + 2 * MetricAt(SM_CXSMSIZE, dpi_), dpi_);
}

HFONT DialogWindow::Font(int pixelHeight, bool bold, bool underline) {
  HFONT& font = fonts_[{pixelHeight * 4 + (bold ? 1 : 0) + (underline ? 2 : 0), dpi_}];
  if (!font) font = MakeFont(pixelHeight, dpi_, bold, underline);
  return font;
}

HWND DialogWindow::Control(std::string_view name) const {
  for (const Item& item : items_)
    if (item.layout.name == name) return item.window;
  return nullptr;
}

DialogWindow::Item* DialogWindow::Find(HWND window) {
  for (Item& item : items_)
    if (item.window == window) return &item;
  return nullptr;
}

DialogWindow::Item* DialogWindow::Find(std::string_view name) {
  for (Item& item : items_)
    if (item.layout.name == name) return &item;
  return nullptr;
}

void DialogWindow::ShowPage(int page) {
  page_ = page;
  if (tabs_) SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(page - 1), 0);
  for (std::size_t i = 0; i < pages_.size(); ++i)
    ShowWindow(pages_[i], static_cast<int>(i) + 1 == page ? SW_SHOW : SW_HIDE);
}

void DialogWindow::CentreOnScreen() {
  RECT frame;
  GetWindowRect(window_, &frame);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  const RECT& work = info.rcWork;
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  SetWindowPos(window_, nullptr, work.left + (work.right - work.left - w) / 2,
               work.top + (work.bottom - work.top - h) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::RunModal() {
  RenderAll();
  if (form_.ModalResult() != DialogForm::kNoResult || running_) return;
  running_ = true;
  HWND previous = GetActiveWindow();
  // Application-modal: the program's other windows take no input meanwhile.
  std::vector<HWND> disabled;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND other, LPARAM list) -> BOOL {
        if (IsWindowVisible(other) && IsWindowEnabled(other)) {
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(other);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&disabled));
  for (HWND other : disabled)
    if (other != window_) EnableWindow(other, FALSE);
  // The control that held the mouse when the dialog was asked for (the tool button clicked) gives
  // it up: disabled behind the dialog, it would never see the button's release.
  ReleaseCapture();
  CentreOnScreen();
  ShowPage(1);
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  if (Item* first = Find(design_.firstFocus)) SetFocus(first->window);
  TraceControls();
  loop_.RunUntil([this] { return form_.ModalResult() != DialogForm::kNoResult; });
  for (HWND other : disabled)
    if (other != window_ && IsWindow(other)) EnableWindow(other, TRUE);
  ShowWindow(window_, SW_HIDE);
  // The window that was active before takes the focus back, as from a dialog it owned.
  if (previous && previous != window_ && IsWindowVisible(previous)) SetForegroundWindow(previous);
  running_ = false;
}

void DialogWindow::TraceControls() {
  if (!trace_.Enabled() || traced_) return;
  traced_ = true;
  // Where each control stands ("TForm2.Button2 ..."), so that scripts can aim the pointer: from
  // the client area's corner, or from the frame's for a tool window, whose small title bar is
  // drawn as part of the window itself (as the main window reports).
  POINT origin{0, 0};
  RECT frame;
  GetWindowRect(window_, &frame);
  if (design_.toolWindow)
    origin = {frame.left, frame.top};
  else
    ClientToScreen(window_, &origin);
  for (Item& item : items_) {
    RECT r;
    GetWindowRect(item.window, &r);
    trace_.Control(std::string(design_.name) + "." + std::string(item.layout.name),
                   r.left - origin.x, r.top - origin.y, r.right - r.left, r.bottom - r.top);
  }
}

void DialogWindow::Changed(std::string_view control) {
  if (control.empty()) return;  // the modal result: the modal run sees it
  if (control == "ActiveControl") {
    if (Item* target = Find(form_.Text("ActiveControl"))) SetFocus(target->window);
    return;
  }
  if (Item* item = Find(control)) Render(*item);
}

void DialogWindow::RenderAll() {
  for (Item& item : items_) Render(item);
}

}  // namespace solka
