// The four pop-up menus, built from the designed tables. Every item is a QAction named after
// its designed item; triggering one reports that name. Check marks are the player's: the menus
// only show them.
#pragma once

#include <QMenu>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "form/layout.h"
#include "form/main_form.h"

namespace solka {

class PopupMenus {
 public:
  explicit PopupMenus(std::function<void(std::string_view)> onItem);
  ~PopupMenus();
  PopupMenus(const PopupMenus&) = delete;
  PopupMenus& operator=(const PopupMenus&) = delete;

  // PopupMenu1 ... PopupMenu4; null for an unknown name.
  QMenu* Menu(std::string_view name) const;
  // The action of a designed item (separators included); null for an unknown name.
  QAction* Item(std::string_view name) const;

  void ShowChecks(const MainForm& form);

 private:
  void Fill(QMenu* menu, const std::vector<MenuItemDef>& items);

  std::function<void(std::string_view)> onItem_;
  std::map<std::string, std::unique_ptr<QMenu>, std::less<>> menus_;
  std::map<std::string, QAction*, std::less<>> items_;
  const MainForm* form_ = nullptr;
};

}  // namespace solka
