// The designed main window: tool bar, status panel and pop-up menus with the name of every
// control and item. The GUI layer builds its widgets from these tables and reports clicks by
// name (TDODEDEV::Click); the core keeps the check marks (MainForm::Checked).
#pragma once

#include <string_view>
#include <vector>

namespace solka {

struct MenuItemDef {
  std::string_view name;     // N1, R2, Exit1 ...
  std::string_view caption;  // "-" is a separator
  bool visible = true;
  std::vector<MenuItemDef> items;  // a sub-menu
  bool IsSeparator() const { return caption == "-"; }
};

struct MenuDef {
  std::string_view name;  // PopupMenu1 ... PopupMenu4
  bool animated = false;  // opens with a top-to-bottom animation
  std::vector<MenuItemDef> items;
};

struct ToolButtonDef {
  std::string_view name;  // ToolButton1 ...
  bool dropDown = false;
  std::string_view hint;
  std::string_view menu;  // drop-down and right-click menu, or empty
  int image = 0;          // index in the tool bar's image lists
};

struct PanelControlDef {
  std::string_view name;  // Label3, Label2, Label1, SpeedButton1
  int left = 0;
  int width = 0;
  std::string_view hint;
};

const std::vector<MenuDef>& Menus();
const MenuDef* FindMenu(std::string_view name);
const std::vector<ToolButtonDef>& ToolButtons();
const std::vector<PanelControlDef>& PanelControls();

// Designed window properties.
constexpr std::string_view kDesignedCaption = "SOLKA Player DirectShow Ver.";
constexpr int kClientWidth = 248, kClientHeight = 289;
constexpr int kToolBarHeight = 26, kPanelHeight = 18, kListItemHeight = 16;
constexpr int kDesignedLeft = 183, kDesignedTop = 154;
// List box background: a pale cream.
constexpr int kListRed = 255, kListGreen = 255, kListBlue = 238;
constexpr std::string_view kTrayMenu = "PopupMenu3";
constexpr std::string_view kListMenu = "PopupMenu2";

}  // namespace solka
