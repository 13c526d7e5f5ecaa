#include "platform/qt/tray.h"

#include <QIcon>
#include <QMenu>

#include "platform/qt/qt_text.h"

namespace solka {

QIcon GroupIcon(int index) {
  return QIcon(QStringLiteral(":/icons/%1.png").arg(index));
}

Tray::Tray(QMenu* menu, Events events, QObject* parent)
    : QObject(parent), events_(std::move(events)) {
  icon_.setObjectName(QStringLiteral("TrayIcon"));
  icon_.setContextMenu(menu);
  connect(&icon_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); });
  icon_.setIcon(GroupIcon(0));
  if (Available()) icon_.show();
}

bool Tray::Available() const {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void Tray::Show(int icon, const std::string& hint) {
  icon_.setIcon(GroupIcon(icon));
  icon_.setToolTip(HintText(hint));  // a track title is text, never markup
  // A notification area that appeared after start-up gets the icon too.
  if (!icon_.isVisible() && Available()) icon_.show();
}

void Tray::Activated(QSystemTrayIcon::ActivationReason reason) {
  // The tray reports no hovering; the pointer was over the icon when it was clicked, so the
  // move comes first, as it would with a hover report.
  if (events_.mouseMove) events_.mouseMove();
  // A quick second click arrives as a double-click; it is a click all the same.
  const bool click = reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick;
  if (click && events_.click) events_.click();
}

}  // namespace solka
