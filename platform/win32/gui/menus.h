// The four pop-up menus of the main window, built from the designed tables; the check marks are
// the player's (MainForm::Checked) and are shown again before each opening.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "form/layout.h"
#include "form/main_form.h"

namespace solka {

class PopupMenus {
 public:
  explicit PopupMenus(std::function<void(std::string_view)> onItem);
  ~PopupMenus();
  PopupMenus(const PopupMenus&) = delete;
  PopupMenus& operator=(const PopupMenus&) = delete;

  void ShowChecks(const MainForm& form);
  // Opens the menu at a screen point, owned by `owner`, and reports the chosen item.
  // `fromTray`: the notification area's rules (the owner comes to the front first, so the menu
  // closes when the user clicks elsewhere).
  void Open(std::string_view menu, HWND owner, POINT at, bool fromTray = false);
  HMENU Handle(std::string_view menu) const;
  // The designed name of a menu command id; empty for none.
  std::string_view NameOf(UINT id) const;

 private:
  void Fill(HMENU menu, const std::vector<MenuItemDef>& items);

  std::function<void(std::string_view)> onItem_;
  std::map<std::string, HMENU, std::less<>> menus_;
  std::vector<std::string> names_;  // command id - kFirstId
  static constexpr UINT kFirstId = 1000;
};

}  // namespace solka
