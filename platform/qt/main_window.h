// The main window TDODEDEV on Qt Widgets: it renders the player's MainForm part by part and
// turns what the user does into calls of WindowCommands. It decides nothing itself.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "form/main_form.h"
#include "platform/qt/trace.h"

class QToolButton;

namespace solka {

class PopupMenus;
class PlayListView;
class RowsModel;
class StatusPanel;
class ToolBar;
class Tray;
class WindowCommands;
class WindowInput;

class MainWindow : public QWidget, public FormObserver {
 public:
  MainWindow(MainForm& form, WindowCommands& commands, Trace trace = Trace());
  ~MainWindow() override;

  // After the player's creation event: shows the window unless the player hid it.
  void Start();
  // Closes the window the normal way; the player's close event runs once per run.
  void RequestClose();
  // Runs after the player's close event (the program quits there).
  std::function<void()> onClosed;

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
  // A tool window; its close box only when the player asks for it.
  static constexpr Qt::WindowFlags kToolWindow =
      Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

  void RenderAll();
  void RenderGeometry();
  void RenderVisible();
  void RenderBorderIcons();
  // The flags the window should have now; false when it has them already.
  bool ApplyWindowFlags();
  void RenderHints();
  void RenderTaskButton();
  void RenderActiveControl();
  void LayOut();
  void ReportGeometry();
  void FinishRun();

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
  bool closed_ = false;
  bool rendering_ = false;
  bool minimisedForTray_ = false;
  int wheelRemainder_ = 0;
};

}  // namespace solka
