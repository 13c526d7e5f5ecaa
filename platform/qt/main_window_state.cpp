// Where the main window stands and whether it is seen: geometry both ways, the layout of its
// three parts, hidden or minimised, the window flags and the task-bar entry.
#include <QEvent>
#include <QMetaObject>
#include <algorithm>

#include "form/commands.h"
#include "form/layout.h"
#include "platform/qt/list_view.h"
#include "platform/qt/main_window.h"
#include "platform/qt/status_panel.h"
#include "platform/qt/tool_bar.h"
#include "platform/qt/x11_window.h"

namespace solka {

void MainWindow::RenderGeometry() {
  rendering_ = true;
  move(form_.Left(), form_.Top());
  resize(form_.Width(), form_.Height() - MainForm::kFrameHeight);
  rendering_ = false;
  ReportGeometry();  // the limits may have bent the request
}

void MainWindow::RenderVisible() {
  if (!started_) return;
  if (form_.Visible()) {
    if (minimisedForTray_) {
      minimisedForTray_ = false;
      ApplyWindowFlags();
      showNormal();
      RenderTaskButton();
    } else {
      show();
    }
  } else if (HidesToTray()) {
    hide();
  } else {
    // Without a notification area a hidden window could never come back. It goes to the task
    // bar instead, as an ordinary window (some desktops list no tool windows anywhere) with an
    // entry there whatever the task-bar setting says.
    minimisedForTray_ = true;
    ApplyWindowFlags();
    SetTaskbarEntry(this, true);
    showMinimized();
  }
}

void MainWindow::RenderBorderIcons() {
  const bool wasVisible = isVisible();
  if (!ApplyWindowFlags()) return;
  if (wasVisible) minimisedForTray_ ? showMinimized() : show();
  RenderTaskButton();
}

bool MainWindow::ApplyWindowFlags() {
  Qt::WindowFlags wanted = minimisedForTray_
                               ? Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                     Qt::WindowMinimizeButtonHint
                               : kToolWindow;
  if (form_.CloseBox()) wanted |= Qt::WindowCloseButtonHint;
  if (windowFlags() == wanted) return false;
  setWindowFlags(wanted);  // hides the window
  return true;
}

void MainWindow::RenderTaskButton() {
  SetTaskbarEntry(this, form_.TaskButtonVisible() || minimisedForTray_);
}

void MainWindow::LayOut() {
  const int w = width(), h = height();
  toolBar_->setGeometry(0, 0, w, kToolBarHeight);
  const int listHeight = std::max(0, h - kToolBarHeight - kPanelHeight);
  list_->setGeometry(0, kToolBarHeight, w, listHeight);
  list_->setVisible(listHeight > 0);
  panel_->setGeometry(0, h - kPanelHeight, w, kPanelHeight);
}

void MainWindow::ReportGeometry() {
  if (rendering_) return;
  form_.SetGeometryFromView(x(), y(), width(), height() + MainForm::kFrameHeight);
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (!isMinimized()) ReportGeometry();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
  if (!isMinimized()) ReportGeometry();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The window manager reads the task-bar state when the window is mapped.
  RenderTaskButton();
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  // The user restored the window from the task bar: the same as showing it from the tray.
  // Queued: showing the panel changes the window, which is not done inside its own event.
  if (minimisedForTray_ && !isMinimized() && !form_.Visible()) {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (minimisedForTray_ && !form_.Visible()) commands_.ShowPanel();
        },
        Qt::QueuedConnection);
  }
}

}  // namespace solka
