// SOLKA_SCREENSHOT=<folder>: once the window has settled, the program saves a picture of the
// main window (main-window.png, or main-window-compact.png in the compact view) and of the tray
// menu (tray-menu.png) into that folder. Used to make the pictures of the README.
#pragma once

#include <QObject>
#include <QString>

namespace solka {

class MainWindow;

class Screenshots : public QObject {
 public:
  explicit Screenshots(MainWindow& window);

 private:
  void TakeWindow();
  void TakeTrayMenu();

  MainWindow& window_;
  QString folder_;
};

}  // namespace solka
