// The screen and the main window as the core asks about them.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "platform/api/desktop.h"

namespace solka {

class QtScreen : public Screen {
 public:
  // The main window is created after the player; until then the answers come from the screen
  // and the default font.
  void SetMainWindow(QWidget* window, QWidget* list, std::function<void()> requestClose) {
    window_ = window;
    list_ = list;
    requestClose_ = std::move(requestClose);
  }

  int AvailableHeight() override;
  int CaptionHeight() override;
  int ListTextWidth(const std::string& text) override;
  int DialogListTextWidth(const std::string& text) override;
  // The list box of the list selection dialog, whose font DialogListTextWidth measures in.
  void SetDialogList(QWidget* list) { dialogList_ = list; }
  bool MainWindowIsForeground() override;
  void BringToFront() override;
  void SetWaitCursor(bool wait) override;
  void CloseMainWindow() override;

 private:
  QPointer<QWidget> window_;
  QPointer<QWidget> list_;
  QPointer<QWidget> dialogList_;
  std::function<void()> requestClose_;
  int waitDepth_ = 0;
};

}  // namespace solka
