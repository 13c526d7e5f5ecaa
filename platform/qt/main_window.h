// The main window TDODEDEV on Qt Widgets: it renders the player's MainForm part by part and
// turns what the user does into calls of WindowCommands. It decides nothing itself.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "form/commands.h"
#include "form/form_part_renderer.h"
#include "form/main_form.h"
#include "form/trace.h"
#include "form/window_place.h"

class QToolButton;

namespace solka {

class PopupMenus;
class PlayListView;
class RowsModel;
class StatusPanel;
class ToolBar;
class Tray;
class WindowInput;

class MainWindow : public QWidget, public FormObserver, private FormPartRenderer {
 public:
  MainWindow(MainForm& form, WindowCommands& commands, Trace trace = Trace());
  ~MainWindow() override;

  // After the player's creation event: shows the window unless the player hid it.
  void Start();
  // Closes the window the normal way; the player's close event runs once per run. A message
  // box that waits for its OK is closed too: a close request always ends the run.
  void RequestClose();
  // The player's close event has run.
  bool Closed() const { return closed_; }
  // Runs after the player's close event (the program quits there).
  std::function<void()> onClosed;
  // Runs after each change of the form has been rendered.
  std::function<void(FormPart)> onChanged;

  void Changed(FormPart part) override;

  // True when hiding goes to the notification area; false when the window is minimised to
  // the task bar instead, so that it can always be brought back.
  bool HidesToTray() const;
  // Stands in for the desktop's answer when set (tests).
  std::function<bool()> trayAvailable;

  // The parts, for rendering checks and screenshots.
  PopupMenus& Menus() { return *menus_; }
  ToolBar* Bar() const { return toolBar_; }
  PlayListView* List() const { return list_; }
  StatusPanel* Panel() const { return panel_; }
  Tray& TrayIcon() { return *tray_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // A title bar without buttons; the close box only when the player asks for it. Not a tool
  // window: the toolkit marks tool windows as transient for its hidden leader window, and task
  // bars list no such window, so the task-bar setting could not show a button. The task-bar
  // entry is the skip-taskbar state alone.
  static constexpr Qt::WindowFlags kWindowFlags =
      Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

  void RenderCaption() override;
  void RenderWindowHint() override;
  void RenderAppTitle() override;
  void RenderGeometry() override;
  void RenderVisible() override;
  void RenderBorderIcons() override;
  void RenderHintsShown() override;
  void RenderTaskButton() override;
  void RenderLabel(int n) override;
  void RenderRows() override;
  void RenderSelection() override;
  void RenderScrollWidth() override;
  void RenderTray() override;
  void RenderChecks() override;
  void RenderSleepButton() override;
  void RenderActiveControl() override;
  void RenderDropTarget() override;
  void LayOut();
  void ReportGeometry();
  void FinishRun();
  void TraceControls();
  // The window was minimised for want of a tray and the user brought it back.
  void RestoredFromTaskBar();
  // A modal dialog minimised with the window (or hidden from it) comes back with it.
  void BringBackModalDialog();
  void MinimiseWhenManaged(int triesLeft);
  // A busy machine may take seconds before the window manager takes the window on.
  static constexpr int kManageTries = 400, kManageWaitMs = 50;
  // The screens' work areas, for keeping the window where it can be reached.
  std::vector<ScreenArea> ScreenAreas() const;

  MainForm& form_;
  WindowCommands& commands_;
  Trace trace_;
  std::unique_ptr<PopupMenus> menus_;
  ToolBar* toolBar_ = nullptr;
  PlayListView* list_ = nullptr;
  RowsModel* model_ = nullptr;
  StatusPanel* panel_ = nullptr;
  std::unique_ptr<Tray> tray_;
  std::unique_ptr<WindowInput> input_;
  bool started_ = false;
  bool controlsTraced_ = false;
  bool closed_ = false;
  bool rendering_ = false;
  bool minimisedForTray_ = false;
  // Where the window was put for the form's position (moved onto a screen when that lies off
  // every screen); a move to anywhere else is the user's.
  ScreenArea placed_;
  WheelNotches wheel_;
};

}  // namespace solka
