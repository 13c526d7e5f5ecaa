#include "platform/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QMenu>
#include <QToolButton>
#include <QWheelEvent>

#include "form/commands.h"
#include "form/layout.h"
#include "platform/qt/dialog_style.h"
#include "platform/qt/list_model.h"
#include "platform/qt/list_view.h"
#include "platform/qt/menus.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/status_panel.h"
#include "platform/qt/tool_bar.h"
#include "platform/qt/tray.h"
#include "platform/qt/window_input.h"

// The glyphs live in a static library whose resources nothing else refers to.
static void RegisterGlyphs() {
  Q_INIT_RESOURCE(icons);
}

namespace solka {

MainWindow::MainWindow(MainForm& form, WindowCommands& commands, Trace trace)
    : QWidget(nullptr, kWindowFlags), form_(form), commands_(commands), trace_(trace) {
  RegisterGlyphs();
  setObjectName(QStringLiteral("TDODEDEV"));
  setWindowRole(QStringLiteral("TDODEDEV"));  // the window class's name, for desktop tools
  setWindowIcon(GroupIcon(0));
  setMouseTracking(true);
  // Wayland keeps a window's place to itself: what the toolkit says there is no position.
  form_.SetPositionReportedFromView(
      !QGuiApplication::platformName().startsWith(QStringLiteral("wayland")));

  menus_ = std::make_unique<PopupMenus>([this](std::string_view item) { commands_.Click(item); });

  toolBar_ = new ToolBar(*menus_,
                         {[this](std::string_view name) { commands_.Click(name); },
                          [this](bool right) { commands_.StopButtonMouseDown(right); },
                          [this] { commands_.ToggleCompactView(); }},
                         this);

  model_ = new RowsModel(form_, this);
  list_ = new PlayListView(this);
  list_->setModel(model_);
  model_->SetItemMargins(ItemTextMargins(list_));
  list_->onUserPick = [this](int row) {
    form_.SetItemIndexFromView(row);
    commands_.RowClick();
  };
  list_->onEnter = [this] {
    trace_.State("pointer", "list");
    commands_.ListMouseEnter();
  };
  list_->onLeave = [this] {
    trace_.State("pointer", "out");
    commands_.ListMouseLeave();
  };
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    if (QMenu* menu = menus_->Menu(kListMenu)) menu->popup(list_->viewport()->mapToGlobal(at));
  });

  panel_ = new StatusPanel({[this](std::string_view name) { commands_.Click(name); },
                            [this] { commands_.VolumeDoubleClick(); }},
                           this);

  tray_ = std::make_unique<Tray>(
      menus_->Menu(kTrayMenu),
      Tray::Events{[this] { commands_.TrayClick(); }, [this] { commands_.TrayMouseMove(); }});

  input_ = std::make_unique<WindowInput>(
      this, WindowInput::Events{[this](KeyCode key) { commands_.KeyDown(key); },
                                [this] { commands_.MouseMove(); },
                                [this] { return form_.HintsShown(); }});

  // Controls that take no focus, as the designed ones: a key always reaches the window.
  for (QToolButton* button : findChildren<QToolButton*>()) button->setFocusPolicy(Qt::NoFocus);
  for (QWidget* w : findChildren<QWidget*>()) w->setMouseTracking(true);
  list_->viewport()->setMouseTracking(true);

  form_.SetObserver(this);
  DrawEveryPart(*this);
}

MainWindow::~MainWindow() {
  form_.SetObserver(nullptr);
  input_.reset();
}

void MainWindow::Start() {
  started_ = true;
  DrawEveryPart(*this);
}

bool MainWindow::HidesToTray() const {
  return trayAvailable ? trayAvailable() : tray_->Available();
}

void MainWindow::Changed(FormPart part) {
  RenderFormPart(*this, part, form_, trace_);
  if (onChanged) onChanged(part);
}

void MainWindow::RenderCaption() {
  setWindowTitle(ToQt(form_.Caption()));
}

void MainWindow::RenderWindowHint() {
  // Controls without a hint of their own show the window's.
  const QString hint = HintText(form_.WindowHint());
  setToolTip(hint);
  toolBar_->setToolTip(hint);
  panel_->setToolTip(hint);  // the list rows read it from the form themselves
}

void MainWindow::RenderAppTitle() {
  // The text of the task-bar entry: the window's icon name, where the desktop uses it.
  setWindowIconText(ToQt(form_.AppTitle()));
}

void MainWindow::RenderHintsShown() {
  // WindowInput asks the form each time a hint is due.
}

void MainWindow::RenderLabel(int n) {
  panel_->ShowLabel(n, form_.Label(n));
}

void MainWindow::RenderRows() {
  model_->Reload();
  RenderSelection();
}

void MainWindow::RenderSelection() {
  list_->ShowSelection(form_.ItemIndex());
}

void MainWindow::RenderScrollWidth() {
  model_->SetScrollWidth(form_.ScrollWidth());
}

void MainWindow::RenderTray() {
  tray_->Show(form_.TrayIcon(), form_.TrayHint());
}

void MainWindow::RenderChecks() {
  menus_->ShowChecks(form_);
}

void MainWindow::RenderSleepButton() {
  toolBar_->ShowSleepButton(form_.SleepImage(), ToQt(form_.SleepHint()));
}

void MainWindow::RenderDropTarget() {
  setAcceptDrops(form_.AcceptsDrops());
}

void MainWindow::RenderActiveControl() {
  if (form_.Active() == ActiveControl::ListBox) {
    list_->setFocus(Qt::OtherFocusReason);
  } else if (QWidget* focused = focusWidget()) {
    focused->clearFocus();
  }
}

void MainWindow::wheelEvent(QWheelEvent* event) {
  wheel_.Turn(event->angleDelta().y(), commands_);
  event->ignore();  // not marked as handled
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A close from the window manager (or the session ending) is never refused: refusing would
  // lose the settings when the session ends.
  event->accept();
  FinishRun();
}

void MainWindow::RequestClose() {
  if (closed_) return;
  if (isVisible())
    close();  // goes through closeEvent
  else
    FinishRun();
}

void MainWindow::FinishRun() {
  if (closed_) return;
  closed_ = true;
  commands_.Close();
  // A message box waiting for its OK (the start-up's "cannot open list file" among them) must
  // not keep the run alive once it has closed.
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* dialog = qobject_cast<QDialog*>(top); dialog && dialog->isVisible()) dialog->reject();
  if (onClosed) onClosed();
}

}  // namespace solka
