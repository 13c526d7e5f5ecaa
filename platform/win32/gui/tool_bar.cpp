#include "platform/win32/gui/tool_bar.h"

#include "form/layout.h"
#include "platform/win32/gui/dpi.h"
#include "platform/win32/gui/icons.h"
#include "platform/win32/gui/menus.h"
#include "platform/win32/gui/resource_ids.h"
#include "platform/win32/wide_text.h"

namespace solka {

namespace {

HIMAGELIST Glyphs(int first, int dpi) {
  const int size = Scale(16, dpi);
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, SOLKA_TOOLBAR_IMAGES, 0);
  for (int i = 0; i < SOLKA_TOOLBAR_IMAGES; ++i)
    ImageList_AddIcon(list, SmallIcon(first + i, size));
  return list;
}

}  // namespace

ToolBar::ToolBar(HWND parent, int dpi, PopupMenus& menus, Events events)
    : parent_(parent), menus_(menus), events_(std::move(events)) {
  bar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                         WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                             CCS_NORESIZE | CCS_NOPARENTALIGN,
                         0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(bar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(bar_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  SetDpi(dpi);
  const auto& defs = ToolButtons();
  for (std::size_t i = 0; i < defs.size(); ++i) {
    TBBUTTON button{};
    button.iBitmap = defs[i].image;
    button.idCommand = static_cast<int>(kFirstId + i);
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = static_cast<BYTE>(defs[i].dropDown ? BTNS_DROPDOWN : BTNS_BUTTON);
    SendMessageW(bar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
  }
  SetWindowSubclass(bar_, Subclass, 1, reinterpret_cast<DWORD_PTR>(this));
}

ToolBar::~ToolBar() {
  RemoveWindowSubclass(bar_, Subclass, 1);
  DestroyWindow(bar_);
  if (normal_) ImageList_Destroy(normal_);
  if (hot_) ImageList_Destroy(hot_);
}

void ToolBar::SetDpi(int dpi) {
  HIMAGELIST oldNormal = normal_, oldHot = hot_;
  normal_ = Glyphs(SOLKA_TOOLBAR_NORMAL, dpi);
  hot_ = Glyphs(SOLKA_TOOLBAR_HOT, dpi);
  SendMessageW(bar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normal_));
  SendMessageW(bar_, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hot_));
  SendMessageW(bar_, TB_AUTOSIZE, 0, 0);
  if (oldNormal) ImageList_Destroy(oldNormal);
  if (oldHot) ImageList_Destroy(oldHot);
}

int ToolBar::IndexOf(std::string_view name) const {
  const auto& defs = ToolButtons();
  for (std::size_t i = 0; i < defs.size(); ++i)
    if (defs[i].name == name) return static_cast<int>(i);
  return -1;
}

bool ToolBar::ButtonRect(std::string_view name, RECT& rect) const {
  const int index = IndexOf(name);
  return index >= 0 && SendMessageW(bar_, TB_GETITEMRECT, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(&rect));
}

void ToolBar::ShowSleepButton(int image, const std::string& hint) {
  SendMessageW(bar_, TB_CHANGEBITMAP, kFirstId + static_cast<UINT>(IndexOf("SleepButton")), image);
  sleepHint_ = Widen(hint);
}

bool ToolBar::Command(UINT id) {
  const auto& defs = ToolButtons();
  if (id < kFirstId || id - kFirstId >= defs.size()) return false;
  events_.click(defs[id - kFirstId].name);
  return true;
}

void ToolBar::OpenMenu(int index, bool atPointer) {
  const ToolButtonDef& def = ToolButtons()[static_cast<std::size_t>(index)];
  if (def.menu.empty()) return;
  POINT at;
  if (atPointer) {
    GetCursorPos(&at);
  } else {
    RECT rect;
    SendMessageW(bar_, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    at = {rect.left, rect.bottom};
    ClientToScreen(bar_, &at);
  }
  menus_.Open(def.menu, parent_, at);
}

bool ToolBar::Notify(const NMHDR* header, LRESULT& result) {
  if (header->hwndFrom == bar_) {
    if (header->code == TBN_DROPDOWN) {
      const auto* info = reinterpret_cast<const NMTOOLBARW*>(header);
      OpenMenu(static_cast<int>(static_cast<UINT>(info->iItem) - kFirstId), false);
      result = TBDDRET_DEFAULT;
      return true;
    }
    if (header->code == NM_RCLICK) {
      // A drop-down button's menu is also its right-click menu.
      const auto* mouse = reinterpret_cast<const NMMOUSE*>(header);
      const int index = static_cast<int>(mouse->dwItemSpec) - static_cast<int>(kFirstId);
      const auto& defs = ToolButtons();
      if (index >= 0 && index < static_cast<int>(defs.size()) &&
          defs[static_cast<std::size_t>(index)].dropDown)
        OpenMenu(index, true);
      result = TRUE;
      return true;
    }
    return false;
  }
  if (header->code == TTN_GETDISPINFOW) {
    auto* info = const_cast<NMTTDISPINFOW*>(reinterpret_cast<const NMTTDISPINFOW*>(header));
    const UINT id = static_cast<UINT>(info->hdr.idFrom);
    const auto& defs = ToolButtons();
    if (id < kFirstId || id - kFirstId >= defs.size()) return false;
    const ToolButtonDef& def = defs[id - kFirstId];
    hintBuffer_ = def.name == "SleepButton" ? sleepHint_ : Widen(std::string(def.hint));
    info->lpszText = hintBuffer_.data();
    return true;
  }
  return false;
}

LRESULT CALLBACK ToolBar::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR self) {
  auto* bar = reinterpret_cast<ToolBar*>(self);
  if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const int index =
        static_cast<int>(SendMessageW(window, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&at)));
    if (index == bar->IndexOf("ToolButton9") && bar->events_.stopMouseDown)
      bar->events_.stopMouseDown((wParam & MK_RBUTTON) != 0);
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace solka
