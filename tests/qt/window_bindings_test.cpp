// Every control, menu item, key and mouse action of the main window reaches the handler its
// binding names, exactly once.
#include <gmock/gmock.h>

#include <QtTest/qtestspontaneevent.h>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>

#include "form/layout.h"
#include "platform/qt/list_view.h"
#include "platform/qt/main_window.h"
#include "platform/qt/menus.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/status_panel.h"
#include "platform/qt/tool_bar.h"
#include "platform/qt/tray.h"
#include "tests/qt/recording_commands.h"

namespace solka {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class WindowBindings : public ::testing::Test {
 protected:
  WindowBindings() : window(form, commands) {
    window.Start();
    QApplication::processEvents();
    commands.calls.clear();
  }

  // What reached the player, hover reports aside (the pointer moves with every simulated click).
  std::vector<std::string> Calls() const {
    std::vector<std::string> out;
    for (const auto& c : commands.calls)
      if (c != "mouse move") out.push_back(c);
    return out;
  }

  // As from the window system: such an event goes on to the parents when a control leaves it.
  void Wheel(QWidget* target, int delta) {
    const QPointF at(5, 5);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(target, &event);
  }

  MainForm form;
  RecordingCommands commands;
  MainWindow window;
};

TEST_F(WindowBindings, EveryToolButtonClicksByItsName) {
  for (const ToolButtonDef& def : ToolButtons()) {
    commands.calls.clear();
    QToolButton* button = window.Bar()->Button(def.name);
    ASSERT_NE(button, nullptr) << def.name;
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    std::vector<std::string> expected = {"click " + std::string(def.name)};
    if (def.name == "ToolButton9") expected.insert(expected.begin(), "stop down");
    EXPECT_EQ(Calls(), expected) << def.name;
  }
}

TEST_F(WindowBindings, EveryMenuItemClicksByItsNameHiddenOneIncluded) {
  int items = 0;
  std::function<void(const std::vector<MenuItemDef>&)> check =
      [&](const std::vector<MenuItemDef>& defs) {
        for (const MenuItemDef& def : defs) {
          if (def.IsSeparator()) continue;
          if (!def.items.empty()) {
            check(def.items);
            continue;
          }
          commands.calls.clear();
          QAction* action = window.Menus().Item(def.name);
          ASSERT_NE(action, nullptr) << def.name;
          action->trigger();
          EXPECT_THAT(Calls(), ElementsAre("click " + std::string(def.name)));
          ++items;
        }
      };
  for (const MenuDef& menu : solka::Menus()) check(menu.items);
  EXPECT_EQ(items, 31);
}

TEST_F(WindowBindings, PanelLabelsAndTrayButton) {
  StatusPanel* panel = window.Panel();
  QTest::mouseClick(panel->Label(1), Qt::LeftButton);
  QTest::mouseClick(panel->Label(2), Qt::LeftButton);
  QTest::mouseClick(panel->Label(3), Qt::LeftButton);  // the volume takes double-clicks only
  QTest::mouseDClick(panel->Label(3), Qt::LeftButton);
  QTest::mouseClick(panel->Label(1), Qt::RightButton);
  QTest::mouseClick(panel->TrayButton(), Qt::LeftButton);
  EXPECT_THAT(Calls(), ElementsAre("click Label1", "click Label2", "volume double click",
                                   "click SpeedButton1"));
}

TEST_F(WindowBindings, DoubleClickOnALabelIsOneClick) {
  // Press, release, double-click, release: the second press is part of the double-click.
  QTest::mouseDClick(window.Panel()->Label(1), Qt::LeftButton);
  QTest::mouseRelease(window.Panel()->Label(1), Qt::LeftButton);
  EXPECT_THAT(Calls(), ElementsAre("click Label1"));
}

TEST_F(WindowBindings, KeysReachTheWindowOnceWhoeverHasTheFocus) {
  const std::pair<int, KeyCode> keys[] = {
      {Qt::Key_F1, KeyCode::F1}, {Qt::Key_Escape, KeyCode::Escape}, {Qt::Key_Space, KeyCode::Space},
      {Qt::Key_Up, KeyCode::Up}, {Qt::Key_Down, KeyCode::Down},     {Qt::Key_F4, KeyCode::F4},
      {Qt::Key_F5, KeyCode::F5}, {Qt::Key_F8, KeyCode::F8},         {Qt::Key_A, KeyCode::Other}};
  // Nothing has the focus at first: the window itself takes the keys.
  ASSERT_EQ(window.focusWidget(), nullptr);
  for (auto [qtKey, code] : keys) {
    commands.calls.clear();
    QTest::keyClick(&window, Qt::Key(qtKey));
    EXPECT_THAT(Calls(), ElementsAre(RecordingCommands::Key(code))) << qtKey;
  }
  // With the list focused the window still sees the key first, and the list still gets it.
  form.SetRows({"a", "b", "c"});
  form.SetItemIndex(0);
  window.List()->setFocus();
  commands.calls.clear();
  QTest::keyClick(window.List(), Qt::Key_Down);
  EXPECT_THAT(Calls(), ElementsAre(RecordingCommands::Key(KeyCode::Down), "row click"));
  EXPECT_EQ(form.ItemIndex(), 1);
  commands.calls.clear();
  QTest::keyClick(window.List(), Qt::Key_Space);
  EXPECT_THAT(Calls(), ElementsAre(RecordingCommands::Key(KeyCode::Space)));
}

TEST_F(WindowBindings, WheelStepsAnywhereOnTheWindow) {
  Wheel(window.Panel()->Label(2), 120);
  Wheel(window.Bar(), -120);
  Wheel(&window, 240);
  // A fine wheel adds up to a step.
  Wheel(&window, -60);
  Wheel(&window, -60);
  EXPECT_THAT(Calls(), ElementsAre("wheel up", "wheel down", "wheel up", "wheel up", "wheel down"));
}

TEST_F(WindowBindings, StopButtonReportsTheRightButton) {
  QToolButton* stop = window.Bar()->Button("ToolButton9");
  QTest::mousePress(stop, Qt::RightButton);
  QTest::mouseRelease(stop, Qt::RightButton);
  EXPECT_THAT(Calls(), ElementsAre("stop down right"));
}

TEST_F(WindowBindings, RightClickOpensTheDropDownMenuAndTheListMenu) {
  for (const ToolButtonDef& def : ToolButtons()) {
    if (def.menu.empty()) continue;
    QToolButton* button = window.Bar()->Button(def.name);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(3, 3),
                            button->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(button, &event);
    QMenu* menu = window.Menus().Menu(def.menu);
    EXPECT_TRUE(menu->isVisible()) << def.name;
    menu->hide();
  }
  form.SetRows({"a"});
  PlayListView* list = window.List();
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(3, 3), list->mapToGlobal(QPoint(3, 3)));
  QApplication::sendEvent(list->viewport(), &event);
  QMenu* listMenu = window.Menus().Menu(kListMenu);
  EXPECT_TRUE(listMenu->isVisible());
  listMenu->hide();
  EXPECT_THAT(Calls(), IsEmpty());  // opening a menu runs nothing
}

TEST_F(WindowBindings, DoubleClickOnTheEmptyToolBarTogglesTheCompactView) {
  ToolBar* bar = window.Bar();
  QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 3, bar->height() / 2));
  EXPECT_THAT(Calls(), ElementsAre("compact view"));
}

TEST_F(WindowBindings, RowClicksSelectInTheFormThenClick) {
  form.SetRows({"one", "two", "three"});
  PlayListView* list = window.List();
  const QRect second = list->visualRect(list->model()->index(1, 0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_EQ(form.ItemIndex(), 1);
  EXPECT_THAT(Calls(), ElementsAre("row click"));

  // A click on the selected row plays it again; a right click below selects nothing.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
  const QRect third = list->visualRect(list->model()->index(2, 0));
  QTest::mouseClick(list->viewport(), Qt::RightButton, {}, third.center());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, third.bottom() + 40));
  EXPECT_EQ(form.ItemIndex(), 1);
  EXPECT_EQ(list->selectionModel()->selectedRows().value(0).row(), 1);
  EXPECT_THAT(Calls(), ElementsAre("row click", "row click"));
}

TEST_F(WindowBindings, PointerOverTheListAndTheWindow) {
  PlayListView* list = window.List();
  QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), list->mapToGlobal(QPointF(3, 3)));
  QApplication::sendEvent(list, &enter);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(list, &leave);
  EXPECT_THAT(Calls(), ElementsAre("list enter", "list leave"));

  // A move over a label is handed on to its parents: still one report.
  commands.calls.clear();
  QTest::mouseMove(window.Panel()->Label(2), QPoint(7, 7));
  QTest::mouseMove(window.Panel()->Label(2), QPoint(9, 7));
  EXPECT_EQ(std::count(commands.calls.begin(), commands.calls.end(), "mouse move"), 2);
}

TEST_F(WindowBindings, TrayIconReportsTheHoverBeforeTheClick) {
  QSystemTrayIcon& icon = window.TrayIcon().Icon();
  emit icon.activated(QSystemTrayIcon::Trigger);
  emit icon.activated(QSystemTrayIcon::Context);
  EXPECT_THAT(Calls(), ElementsAre("tray move", "tray click", "tray move"));
}

// As from the window system: a quick second press arrives as a double-click.
void DoubleClick(QWidget* target, Qt::MouseButton button) {
  const QPointF at(4, 4), global = target->mapToGlobal(at);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                            QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, at, global, button, held, Qt::NoModifier);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(target, &event);
  }
}

TEST_F(WindowBindings, BothPressesOfAQuickDoubleClickCount) {
  DoubleClick(window.Bar()->Button("ToolButton9"), Qt::RightButton);
  DoubleClick(window.Bar()->Button("ToolButton7"), Qt::LeftButton);
  DoubleClick(window.Panel()->Label(1), Qt::LeftButton);
  DoubleClick(window.Panel()->Label(2), Qt::LeftButton);
  // The volume label binds a double-click of its own.
  DoubleClick(window.Panel()->Label(3), Qt::LeftButton);
  EXPECT_THAT(Calls(), ElementsAre("stop down right", "stop down right", "click ToolButton7",
                                   "click ToolButton7", "click Label1", "click Label1",
                                   "click Label2", "click Label2", "volume double click"));
  commands.calls.clear();
  QSystemTrayIcon& icon = window.TrayIcon().Icon();
  emit icon.activated(QSystemTrayIcon::Trigger);
  emit icon.activated(QSystemTrayIcon::DoubleClick);
  EXPECT_THAT(Calls(), ElementsAre("tray move", "tray click", "tray move", "tray click"));
}

TEST_F(WindowBindings, ACloseRequestWhileAMessageBoxWaitsEndsTheRun) {
  int quits = 0;
  window.onClosed = [&] { ++quits; };
  // A signal arrives while the start-up's message box waits for its OK.
  QTimer::singleShot(0, [&] { window.RequestClose(); });
  QTimer::singleShot(5000, [] {
    if (QWidget* box = QApplication::activeModalWidget()) box->close();  // the test failed
  });
  QtDialogs().MessageBox("cannot open", "SOLKA");
  EXPECT_TRUE(window.Closed());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  window.RequestClose();
  EXPECT_THAT(Calls(), ElementsAre("close"));
  EXPECT_EQ(quits, 1);
}

TEST_F(WindowBindings, ClosingRunsTheCloseEventOnce) {
  int quits = 0;
  window.onClosed = [&] { ++quits; };
  window.RequestClose();
  window.RequestClose();
  window.close();
  EXPECT_THAT(Calls(), ElementsAre("close"));
  EXPECT_EQ(quits, 1);
}

TEST_F(WindowBindings, ClosingAHiddenWindowStillRunsTheCloseEvent) {
  window.hide();
  window.RequestClose();
  EXPECT_THAT(Calls(), ElementsAre("close"));
}

// As the window system delivers a drag: to the top-level window, over the list.
TEST_F(WindowBindings, LocalFilesDroppedOnTheListReachThePlayerInDropOrder) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile("/m/b.mp3"), QUrl(QStringLiteral("https://host/y.mp3")),
                QUrl::fromLocalFile("/m/a folder")});
  const QPoint at = window.List()->mapTo(&window, QPoint(10, 10));
  const auto dragAndDrop = [&] {
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.windowHandle(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.windowHandle(), &drop);
  };
  dragAndDrop();
  EXPECT_THAT(Calls(), IsEmpty());  // not registered as a drop target yet
  form.SetAcceptsDrops(true);
  dragAndDrop();
  EXPECT_THAT(Calls(), ElementsAre("drop /m/b.mp3 /m/a folder"));
}

}  // namespace
}  // namespace solka
