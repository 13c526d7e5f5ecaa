#include "platform/qt/menus.h"

#include <QAction>
#include <QApplication>

#include "platform/qt/qt_text.h"

namespace solka {

PopupMenus::PopupMenus(std::function<void(std::string_view)> onItem) : onItem_(std::move(onItem)) {
  for (const MenuDef& def : solka::Menus()) {
    auto menu = std::make_unique<QMenu>();
    menu->setObjectName(ToQt(def.name));
    // The unrolling animation is one switch for the whole application; each menu sets it just
    // before it opens (the signal comes ahead of the animation's test).
    const bool animated = def.animated;
    QObject::connect(menu.get(), &QMenu::aboutToShow, menu.get(),
                     [animated] { QApplication::setEffectEnabled(Qt::UI_AnimateMenu, animated); });
    Fill(menu.get(), def.items);
    menus_.emplace(std::string(def.name), std::move(menu));
  }
}

PopupMenus::~PopupMenus() = default;

void PopupMenus::Fill(QMenu* menu, const std::vector<MenuItemDef>& items) {
  for (const MenuItemDef& def : items) {
    QAction* action = nullptr;
    if (def.IsSeparator()) {
      action = menu->addSeparator();
    } else if (!def.items.empty()) {
      QMenu* sub = menu->addMenu(ToQt(def.caption));
      sub->setObjectName(ToQt(def.name));
      Fill(sub, def.items);
      action = sub->menuAction();
    } else {
      action = menu->addAction(ToQt(def.caption));
      const std::string name(def.name);
      QObject::connect(action, &QAction::triggered, menu, [this, name] {
        onItem_(name);
        // Qt flips a checkable item by itself; the player decides, so show its marks again.
        if (form_) ShowChecks(*form_);
      });
    }
    action->setObjectName(ToQt(def.name));
    action->setVisible(def.visible);
    items_.emplace(std::string(def.name), action);
  }
}

QMenu* PopupMenus::Menu(std::string_view name) const {
  auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second.get();
}

QAction* PopupMenus::Item(std::string_view name) const {
  auto it = items_.find(name);
  return it == items_.end() ? nullptr : it->second;
}

void PopupMenus::ShowChecks(const MainForm& form) {
  form_ = &form;
  for (auto& [name, action] : items_) {
    if (action->isSeparator() || action->menu()) continue;
    const bool checked = form.Checked(name);
    // Only a checked item is checkable, so unchecked items show no empty box.
    action->setCheckable(checked);
    action->setChecked(checked);
  }
}

}  // namespace solka
