// The notification-area icon with its menu PopupMenu3, for the whole run. Where the desktop has
// no notification area there is no icon, and the window is never hidden out of reach (see
// MainWindow).
#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <functional>
#include <string>

class QMenu;

namespace solka {

class Tray : public QObject {
 public:
  struct Events {
    std::function<void()> click;
    std::function<void()> mouseMove;
  };

  Tray(QMenu* menu, Events events, QObject* parent = nullptr);

  // True when the desktop shows notification-area icons.
  bool Available() const;
  void Show(int icon, const std::string& hint);
  QSystemTrayIcon& Icon() { return icon_; }

 private:
  void Activated(QSystemTrayIcon::ActivationReason reason);

  QSystemTrayIcon icon_;
  Events events_;
};

// Icon group `index`: MAINICON, PLAYICON, SUBICON, TRAYICON.
QIcon GroupIcon(int index);

}  // namespace solka
