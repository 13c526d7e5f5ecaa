// PLACEHOLDER: the designed tables are written here.
#include "app/layout.h"

namespace solka {

const std::vector<MenuDef>& Menus() {
  static const std::vector<MenuDef> menus;
  return menus;
}
const MenuDef* FindMenu(std::string_view name) {
  for (const MenuDef& m : Menus())
    if (m.name == name) return &m;
  return nullptr;
}
const std::vector<ToolButtonDef>& ToolButtons() {
  static const std::vector<ToolButtonDef> buttons;
  return buttons;
}
const std::vector<PanelControlDef>& PanelControls() {
  static const std::vector<PanelControlDef> controls;
  return controls;
}

}  // namespace solka
