// The window in front of the real player (in-memory platform): what the user does there has the
// player's effect, and what the player changes shows in the window.
#include <gmock/gmock.h>

#include <QtTest/qtestspontaneevent.h>
#include <QAction>
#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "app/player_commands.h"
#include "platform/qt/list_view.h"
#include "platform/qt/main_window.h"
#include "platform/qt/menus.h"
#include "platform/qt/status_panel.h"
#include "platform/qt/tool_bar.h"
#include "tests/core/player_fixture.h"

namespace solka {
namespace {

class WindowWithPlayer : public PlayerTest {
 protected:
  WindowWithPlayer() : commands(player), window(player.FormForView(), commands) {
    window.Start();
    QApplication::processEvents();
  }
  void ClickRow(int row) {
    PlayListView* list = window.List();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(row, 0)).center());
  }
  int OuterHeight() const { return window.height() + MainForm::kFrameHeight; }

  PlayerCommands commands;
  MainWindow window;
};

TEST_F(WindowWithPlayer, ClickedRowPlaysAndTrayNextActsAsTheNextButton) {
  LoadTracks(4);
  ClickRow(1);
  EXPECT_EQ(player.CurrentIndex(), 1);
  window.Menus().Item("N5")->trigger();  // 次の曲
  EXPECT_EQ(player.CurrentIndex(), 2);
  QTest::mouseClick(window.Bar()->Button("ToolButton7"), Qt::LeftButton);
  EXPECT_EQ(player.CurrentIndex(), 3);
  EXPECT_THAT(Rendered(), ::testing::ElementsAre(Entry(1), Entry(2), Entry(3)));
  // The window shows the player's selection.
  EXPECT_EQ(window.List()->currentIndex().row(), 3);
}

TEST_F(WindowWithPlayer, F4TogglesTheCompactView) {
  ASSERT_EQ(player.Form().Height(), MainForm::kFullHeight);  // as the start-up left it
  QTest::keyClick(&window, Qt::Key_F4);
  EXPECT_TRUE(player.Window().CompactView);
  EXPECT_EQ(OuterHeight(), 68);
  QTest::keyClick(&window, Qt::Key_F4);
  EXPECT_FALSE(player.Window().CompactView);
  EXPECT_EQ(OuterHeight(), 313);

  // With the pointer over the list the key goes to the list first, and the compact view takes
  // the focus from it on the way: still one toggle, and the wheel is the volume's again.
  commands.ListMouseEnter();
  ASSERT_EQ(QApplication::focusWidget(), window.List());
  QTest::keyClick(window.List(), Qt::Key_F4);
  EXPECT_TRUE(player.Window().CompactView);
  EXPECT_FALSE(player.Window().MouseOverList);
}

TEST_F(WindowWithPlayer, WheelOverThePanelChangesTheVolumeLabel) {
  for (int step = 0; step < 26; ++step) player.FormMouseWheelDown();
  QLabel* volume = window.Panel()->Label(3);
  EXPECT_EQ(volume->text(), QStringLiteral("74"));
  QWheelEvent wheel(QPointF(3, 3), volume->mapToGlobal(QPointF(3, 3)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QSpontaneKeyEvent::setSpontaneous(&wheel);
  qApp->notify(volume, &wheel);
  EXPECT_EQ(player.Playback().Volume, -2700);
  EXPECT_EQ(volume->text(), QStringLiteral("73"));
}

TEST_F(WindowWithPlayer, TrayButtonHidesAndTheTrayClickBringsTheWindowBack) {
  QTest::mouseClick(window.Panel()->TrayButton(), Qt::LeftButton);
  EXPECT_TRUE(player.Window().InTray);
  EXPECT_FALSE(player.Form().Visible());
  // Without a notification area the window waits minimised, never out of reach.
  EXPECT_TRUE(window.isMinimized());
  commands.TrayClick();
  EXPECT_FALSE(player.Window().InTray);
  EXPECT_FALSE(window.isMinimized());
  EXPECT_TRUE(window.isVisible());
}

TEST_F(WindowWithPlayer, RestoringTheMinimisedWindowIsShowingThePanel) {
  player.SpeedButton1Click();
  ASSERT_TRUE(window.isMinimized());
  window.showNormal();  // the user restores it from the task bar
  QApplication::processEvents();
  EXPECT_FALSE(player.Window().InTray);
  EXPECT_FALSE(window.isMinimized());
  EXPECT_TRUE(player.Form().Visible());
}

TEST_F(WindowWithPlayer, ExitAsksToCloseAndClosingSavesWhereTheWindowStands) {
  window.Menus().Item("Exit1")->trigger();  // 終了
  EXPECT_EQ(p.screen.closeRequests, 1);
  window.move(321, 99);
  window.RequestClose();
  EXPECT_EQ(player.Settings()[Left], "321");
  EXPECT_EQ(player.Settings()[Top], "99");
}

}  // namespace
}  // namespace solka
