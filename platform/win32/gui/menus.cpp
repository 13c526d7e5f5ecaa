#include "platform/win32/gui/menus.h"

#include "platform/win32/wide_text.h"

namespace solka {

PopupMenus::PopupMenus(std::function<void(std::string_view)> onItem) : onItem_(std::move(onItem)) {
  for (const MenuDef& def : solka::Menus()) {
    HMENU menu = CreatePopupMenu();
    Fill(menu, def.items);
    menus_.emplace(std::string(def.name), menu);
  }
}

PopupMenus::~PopupMenus() {
  for (auto& [name, menu] : menus_) DestroyMenu(menu);
}

void PopupMenus::Fill(HMENU menu, const std::vector<MenuItemDef>& items) {
  for (const MenuItemDef& def : items) {
    if (!def.visible) continue;  // a hidden item has no place in the menu; its handler stays
    if (def.IsSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (!def.items.empty()) {
      HMENU sub = CreatePopupMenu();
      Fill(sub, def.items);
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub),
                  Widen(std::string(def.caption)).c_str());
    } else {
      const UINT id = kFirstId + static_cast<UINT>(names_.size());
      names_.emplace_back(def.name);
      AppendMenuW(menu, MF_STRING, id, Widen(std::string(def.caption)).c_str());
    }
  }
}

HMENU PopupMenus::Handle(std::string_view menu) const {
  auto it = menus_.find(menu);
  return it == menus_.end() ? nullptr : it->second;
}

std::string_view PopupMenus::NameOf(UINT id) const {
  if (id < kFirstId || id - kFirstId >= names_.size()) return {};
  return names_[id - kFirstId];
}

void PopupMenus::ShowChecks(const MainForm& form) {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    const UINT id = kFirstId + static_cast<UINT>(i);
    const UINT state = form.Checked(names_[i]) ? MF_CHECKED : MF_UNCHECKED;
    // Items live in sub-menus too; CheckMenuItem searches them by command id.
    for (auto& [name, menu] : menus_) CheckMenuItem(menu, id, MF_BYCOMMAND | state);
  }
}

void PopupMenus::Open(std::string_view menu, HWND owner, POINT at, bool fromTray) {
  HMENU handle = Handle(menu);
  if (!handle) return;
  if (fromTray) SetForegroundWindow(owner);
  UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY;
  if (FindMenu(menu)->animated) flags |= TPM_VERPOSANIMATION;
  const UINT id = static_cast<UINT>(TrackPopupMenuEx(handle, flags, at.x, at.y, owner, nullptr));
  if (fromTray) PostMessageW(owner, WM_NULL, 0, 0);
  const std::string_view name = NameOf(id);
  if (!name.empty()) onItem_(name);
}

}  // namespace solka
