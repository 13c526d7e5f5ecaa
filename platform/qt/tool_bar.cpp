#include "platform/qt/tool_bar.h"

#include <QContextMenuEvent>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>

#include "form/layout.h"
#include "platform/qt/menus.h"
#include "platform/qt/qt_text.h"

namespace solka {

QIcon ToolBarIcon(int index) {
  QIcon icon;
  icon.addFile(QStringLiteral(":/toolbar/normal/%1.png").arg(index), QSize(), QIcon::Normal);
  icon.addFile(QStringLiteral(":/toolbar/hot/%1.png").arg(index), QSize(), QIcon::Active);
  return icon;
}

ToolBar::ToolBar(PopupMenus& menus, Events events, QWidget* parent)
    : QToolBar(parent), menus_(menus), events_(std::move(events)) {
  setObjectName(QStringLiteral("ToolBar1"));
  setMovable(false);
  setFloatable(false);
  setIconSize(QSize(16, 16));
  setToolButtonStyle(Qt::ToolButtonIconOnly);
  setContentsMargins(0, 0, 0, 0);
  setMouseTracking(true);
  for (const ToolButtonDef& def : ToolButtons()) {
    auto* button = new QToolButton(this);
    button->setObjectName(ToQt(def.name));
    button->setAutoRaise(true);
    button->setIcon(ToolBarIcon(def.image));
    button->setToolTip(ToQt(def.hint));
    button->setMouseTracking(true);
    const std::string name(def.name);
    connect(button, &QToolButton::clicked, this, [this, name] { events_.click(name); });
    if (def.dropDown) {
      if (QMenu* menu = menus_.Menu(def.menu)) {
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
      }
    }
    button->installEventFilter(this);
    addWidget(button);
  }
}

QToolButton* ToolBar::Button(std::string_view name) const {
  return findChild<QToolButton*>(ToQt(name), Qt::FindDirectChildrenOnly);
}

void ToolBar::ShowSleepButton(int image, const QString& hint) {
  if (QToolButton* button = Button("SleepButton")) {
    button->setIcon(ToolBarIcon(image));
    button->setToolTip(hint);
  }
}

bool ToolBar::eventFilter(QObject* watched, QEvent* event) {
  auto* button = qobject_cast<QToolButton*>(watched);
  if (!button) return false;
  // A quick second press arrives as a double-click; it is a press all the same.
  const bool press =
      event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
  if (press && button->objectName() == "ToolButton9") {
    auto* mouse = static_cast<QMouseEvent*>(event);
    events_.stopMouseDown((mouse->buttons() & Qt::RightButton) != 0);
  } else if (event->type() == QEvent::ContextMenu && button->menu()) {
    // A drop-down button's menu is also its right-click menu.
    button->menu()->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
  }
  return false;
}

void ToolBar::mouseDoubleClickEvent(QMouseEvent* event) {
  // Stands in for the title-bar double-click, which window managers keep for themselves.
  if (event->button() == Qt::LeftButton && events_.emptyAreaDoubleClick)
    events_.emptyAreaDoubleClick();
  QToolBar::mouseDoubleClickEvent(event);
}

}  // namespace solka
