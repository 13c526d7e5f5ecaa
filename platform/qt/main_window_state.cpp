// Where the main window stands and whether it is seen: geometry both ways, the layout of its
// three parts, hidden or minimised, the window flags and the task-bar entry.
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <algorithm>

#include "form/commands.h"
#include "form/layout.h"
#include "platform/qt/list_view.h"
#include "platform/qt/main_window.h"
#include "platform/qt/status_panel.h"
#include "platform/qt/tool_bar.h"
#include "platform/qt/x11_window.h"

namespace solka {

std::vector<ScreenArea> MainWindow::ScreenAreas() const {
  std::vector<ScreenArea> areas;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect r = screen->availableGeometry();
    areas.push_back({r.x(), r.y(), r.width(), r.height()});
  }
  return areas;
}

void MainWindow::RenderGeometry() {
  rendering_ = true;
  // The position is that of the frame, as stored; a position off every screen is shown on one.
  placed_ =
      PlaceOnScreen({form_.Left(), form_.Top(), form_.Width(), form_.Height()}, ScreenAreas());
  // One size at a time, the player's (the full or the compact view), set in one step: window
  // managers that draw a resize handle under a resizable window leave the strip under the panel
  // out. Before the move, which the new size hints would otherwise shift by the frame.
  setFixedSize(std::clamp(form_.Width(), MainForm::kMinWidth, MainForm::kMaxWidth),
               std::clamp(form_.Height(), MainForm::kMinHeight, MainForm::kMaxHeight) -
                   MainForm::kFrameHeight);
  move(placed_.left, placed_.top);
  rendering_ = false;
  ReportGeometry();  // the limits may have bent the request
}

void MainWindow::RenderVisible() {
  if (!started_) return;
  trace_.State("visible", form_.Visible() ? "1" : "0");
  if (form_.Visible()) {
    if (minimisedForTray_ || isMinimized()) {
      minimisedForTray_ = false;
      showNormal();
      // Still mapped, so no show event: the task-bar setting takes over from the forced entry.
      RenderTaskButton();
    } else {
      show();  // the show event applies the task-bar setting
    }
  } else if (HidesToTray()) {
    hide();
  } else {
    // Without a notification area a hidden window could never come back. It is minimised to the
    // task bar instead, with an entry there whatever the task-bar setting says; restoring it from
    // there shows it as "パネル表示" does.
    minimisedForTray_ = true;
    RenderTaskButton();
    MinimiseWhenManaged(kManageTries);
  }
}

void MainWindow::MinimiseWhenManaged(int triesLeft) {
  if (!minimisedForTray_ || form_.Visible()) return;
  // A window just shown that the window manager has not taken on yet would miss the request
  // to minimise; it is asked once the manager holds it (or, with no manager, after a while).
  if (isVisible() && WindowManagerState(this) == ManagerState::Withdrawn && triesLeft > 0) {
    QTimer::singleShot(kManageWaitMs, this,
                       [this, triesLeft] { MinimiseWhenManaged(triesLeft - 1); });
    return;
  }
  showMinimized();
}

void MainWindow::RenderBorderIcons() {
  Qt::WindowFlags wanted = kWindowFlags;
  if (form_.CloseBox()) wanted |= Qt::WindowCloseButtonHint;
  if (windowFlags() == wanted) return;
  if (!windowHandle()) {
    setWindowFlags(wanted);
    return;
  }
  // Told to the window system on the window as it is: re-creating it (what setWindowFlags
  // does) hides it and shows it again where the frame's offset is counted twice.
  overrideWindowFlags(wanted);
  windowHandle()->setFlags(wanted);
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
  int left = x(), top = y();
  // Where the window was put to keep it on a screen is not the user's choice: the stored
  // position stays until the user moves the window. One the display server never tells
  // stays as well.
  if ((left == placed_.left && top == placed_.top) || !form_.PositionReported())
    left = form_.Left(), top = form_.Top();
  form_.SetGeometryFromView(left, top, width(), height() + MainForm::kFrameHeight);
  trace_.State("geometry", std::to_string(form_.Left()) + " " + std::to_string(form_.Top()));
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
  // The window manager dropped the task-bar state when the window was hidden; it reads it
  // again when the window is mapped, just after this.
  RenderTaskButton();
  // The window system showed the minimised window again: restored from the task bar. The
  // window-state change that should say so does not always come (the toolkit may still take
  // the window for minimised here).
  if (event->spontaneous()) RestoredFromTaskBar();
  BringBackModalDialog();
  if (trace_.Enabled() && !controlsTraced_) {
    controlsTraced_ = true;
    // Once the tool bar has laid out its buttons.
    QMetaObject::invokeMethod(
        this, [this] { TraceControls(); }, Qt::QueuedConnection);
  }
}

void MainWindow::TraceControls() {
  std::vector<QWidget*> controls{list_, panel_->TrayButton()};
  for (int n = 1; n <= 3; ++n) controls.push_back(panel_->Label(n));
  for (QToolButton* button : toolBar_->findChildren<QToolButton*>()) controls.push_back(button);
  for (QWidget* control : controls) {
    if (!control || control->objectName().isEmpty()) continue;
    const QPoint at = control->mapTo(this, QPoint(0, 0));
    trace_.Control(control->objectName().toStdString(), at.x(), at.y(), control->width(),
                   control->height());
  }
}

void MainWindow::RestoredFromTaskBar() {
  if (!minimisedForTray_ || form_.Visible()) return;
  // The window manager's word where there is one; the first mapping of a window that is to be
  // minimised is no restoring.
  const ManagerState state = WindowManagerState(this);
  if (state == ManagerState::Unknown ? isMinimized() : state != ManagerState::Normal) return;
  // The same as showing it from the tray. Queued: showing the panel changes the window, which
  // is not done inside its own event.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (minimisedForTray_ && !form_.Visible()) commands_.ShowPanel();
      },
      Qt::QueuedConnection);
}

void MainWindow::BringBackModalDialog() {
  // Queued: after the window is back, so that the dialog stays above it. The window takes no
  // input while the dialog is up, so a dialog left minimised would block the player.
  QMetaObject::invokeMethod(
      this,
      [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == this || !modal->isVisible() || !isVisible() || isMinimized()) return;
        if (modal->isMinimized() || WindowManagerState(modal) == ManagerState::Iconic)
          modal->showNormal();
        modal->raise();
        modal->activateWindow();
      },
      Qt::QueuedConnection);
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const QWidget* modal = QApplication::activeModalWidget();
  const bool dialogUp = modal && modal != this;
  if (!isMinimized()) {
    RestoredFromTaskBar();
    if (dialogUp) RenderTaskButton();
    BringBackModalDialog();
  }
  // Minimised with a dialog up (the window manager takes the dialog along): the player takes no
  // input then, its tray icon included, so it stays minimised with a task-bar entry to come
  // back by, and the dialog comes back with it.
  if (isMinimized() && dialogUp) {
    SetTaskbarEntry(this, true);
    return;
  }
  // The window manager minimised the shown window (its title-bar button): the same as hiding
  // it to the tray, so that it keeps a way back whatever the task-bar setting says.
  if (isMinimized() && !minimisedForTray_ && form_.Visible()) {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (isMinimized() && !minimisedForTray_ && form_.Visible())
            commands_.Click("SpeedButton1");
        },
        Qt::QueuedConnection);
  }
}

}  // namespace solka
