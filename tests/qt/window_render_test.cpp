// The main window shows what the player's form holds: the designed menus and buttons, the size
// limits, the two view heights, texts, check marks, rows and the hidden state.
#include <gmock/gmock.h>

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include "form/layout.h"
#include "platform/qt/dialog_style.h"
#include "platform/qt/list_view.h"
#include "platform/qt/main_window.h"
#include "platform/qt/menus.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/status_panel.h"
#include "platform/qt/tool_bar.h"
#include "platform/qt/tray.h"
#include "tests/qt/recording_commands.h"

namespace solka {
namespace {

using ::testing::ElementsAre;

QString Q(std::string_view text) {
  return ToQt(std::string(text));
}

class WindowRender : public ::testing::Test {
 protected:
  WindowRender() : window(form, commands) {
    window.Start();
    QApplication::processEvents();
  }
  int OuterHeight() const { return window.height() + MainForm::kFrameHeight; }

  MainForm form;
  RecordingCommands commands;
  MainWindow window;
};

void ExpectMenuMatches(QMenu* menu, const std::vector<MenuItemDef>& defs) {
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), static_cast<qsizetype>(defs.size()))
      << menu->objectName().toStdString();
  for (size_t i = 0; i < defs.size(); ++i) {
    const MenuItemDef& def = defs[i];
    QAction* action = actions[static_cast<qsizetype>(i)];
    EXPECT_EQ(action->objectName(), Q(def.name));
    EXPECT_EQ(action->isSeparator(), def.IsSeparator()) << def.name;
    if (!def.IsSeparator()) {
      EXPECT_EQ(action->text(), Q(def.caption)) << def.name;
    }
    EXPECT_EQ(action->isVisible(), def.visible) << def.name;
    if (!def.items.empty()) {
      ASSERT_NE(action->menu(), nullptr) << def.name;
      ExpectMenuMatches(action->menu(), def.items);
    }
  }
}

TEST_F(WindowRender, MenusHoldEveryDesignedItemInOrder) {
  ASSERT_EQ(solka::Menus().size(), 4u);
  for (const MenuDef& def : solka::Menus()) {
    QMenu* menu = window.Menus().Menu(def.name);
    ASSERT_NE(menu, nullptr) << def.name;
    ExpectMenuMatches(menu, def.items);
  }
  EXPECT_FALSE(window.Menus().Item("AG1")->isVisible());
}

TEST_F(WindowRender, ToolButtonsCarryHintsAndTheirDropDownMenus) {
  int left = -1;
  for (const ToolButtonDef& def : ToolButtons()) {
    QToolButton* button = window.Bar()->Button(def.name);
    ASSERT_NE(button, nullptr) << def.name;
    EXPECT_GT(button->x(), left) << def.name << " out of order";
    left = button->x();
    EXPECT_EQ(button->toolTip(), Q(def.hint));
    EXPECT_FALSE(button->icon().isNull()) << def.name;
    if (def.dropDown) {
      ASSERT_NE(button->menu(), nullptr) << def.name;
      EXPECT_EQ(button->menu(), window.Menus().Menu(def.menu));
      EXPECT_EQ(button->popupMode(), QToolButton::MenuButtonPopup);
    } else {
      EXPECT_EQ(button->menu(), nullptr) << def.name;
    }
  }
  form.SetSleepButton(8, "sleep at 23:30");
  EXPECT_EQ(window.Bar()->Button("SleepButton")->toolTip(), QStringLiteral("sleep at 23:30"));
}

TEST_F(WindowRender, DesignedLayoutAndSizeLimits) {
  EXPECT_EQ(window.width(), kClientWidth);
  EXPECT_EQ(window.height(), kClientHeight);
  EXPECT_EQ(OuterHeight(), MainForm::kFullHeight);
  EXPECT_EQ(window.Bar()->height(), kToolBarHeight);
  EXPECT_EQ(window.Panel()->height(), kPanelHeight);
  EXPECT_EQ(window.Panel()->y(), kClientHeight - kPanelHeight);
  EXPECT_EQ(window.Panel()->Label(3)->geometry(), QRect(3, 0, 26, kPanelHeight));
  EXPECT_EQ(window.Panel()->Label(2)->geometry(), QRect(31, 0, 107, kPanelHeight));
  EXPECT_EQ(window.Panel()->Label(1)->geometry(), QRect(139, 0, 89, kPanelHeight));
  EXPECT_EQ(window.Panel()->TrayButton()->x(), 230);
  EXPECT_EQ(window.Panel()->TrayButton()->size(), QSize(16, 16));
  EXPECT_EQ(window.List()->palette().color(QPalette::Base), QColor(255, 255, 238));
  EXPECT_EQ(window.List()->sizeHintForRow(0), -1);  // no rows yet

  // The size is the player's alone, so no window manager draws a resize handle under the
  // panel; a width outside the limits (a damaged setting) comes back into them.
  window.resize(3000, 3000);
  EXPECT_EQ(window.size(), QSize(kClientWidth, kClientHeight));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  form.SetGeometryFromView(0, 0, 3000, 313);
  form.SetLeft(1);
  EXPECT_EQ(window.width(), 1024);
  EXPECT_EQ(form.Width(), 1024);
  EXPECT_EQ(form.Height(), 313);
}

TEST_F(WindowRender, CompactAndFullViewHeights) {
  form.SetHeight(MainForm::kCompactHeight);
  EXPECT_EQ(OuterHeight(), 68);
  EXPECT_FALSE(window.List()->isVisible());
  EXPECT_EQ(window.Panel()->y(), kToolBarHeight);
  form.SetHeight(MainForm::kFullHeight);
  EXPECT_EQ(OuterHeight(), 313);
  EXPECT_TRUE(window.List()->isVisible());
  EXPECT_EQ(window.List()->height(), 313 - 24 - kToolBarHeight - kPanelHeight);
}

TEST_F(WindowRender, PositionGoesBothWays) {
  form.SetLeft(300);
  form.SetTop(120);
  EXPECT_EQ(window.pos(), QPoint(300, 120));
  window.move(40, 50);
  EXPECT_EQ(form.Left(), 40);
  EXPECT_EQ(form.Top(), 50);
}

TEST_F(WindowRender, APositionOffEveryScreenIsShownOnOneAndKeptUntilTheUserMoves) {
  const QRect screen = window.screen()->availableGeometry();
  form.SetLeft(-5000);
  form.SetTop(32767);
  EXPECT_TRUE(screen.contains(window.frameGeometry().topLeft())) << window.x() << "," << window.y();
  EXPECT_EQ(form.Left(), -5000);
  EXPECT_EQ(form.Top(), 32767);
  window.move(screen.x() + 7, screen.y() + 9);
  EXPECT_EQ(form.Left(), screen.x() + 7);
  EXPECT_EQ(form.Top(), screen.y() + 9);
}

TEST_F(WindowRender, TextsFromFilesShowAsTheCharactersTheyHold) {
  const std::string text = "<b>BOLD <u>title & 曲";
  const QString shown = Q(text);
  // What a rich-text renderer makes of a hint: the characters, whatever they look like.
  const auto rendered = [](const QString& hint) {
    QTextDocument doc;
    doc.setHtml(hint);
    return doc.toPlainText();
  };
  form.SetCaption(text);
  form.SetTrayHint(text);
  form.SetWindowHint(text);
  form.SetLabelText(1, text);
  form.SetRows({text});
  EXPECT_EQ(window.windowTitle(), shown);
  EXPECT_EQ(rendered(window.TrayIcon().Icon().toolTip()), shown);
  EXPECT_EQ(rendered(window.toolTip()), shown);
  EXPECT_EQ(window.Panel()->Label(1)->textFormat(), Qt::PlainText);
  EXPECT_EQ(window.Panel()->Label(1)->text(), shown);
  EXPECT_EQ(window.List()->model()->index(0, 0).data().toString(), shown);

  // The message box (the tag display) as well.
  QString boxText;
  Qt::TextFormat boxFormat = Qt::AutoText;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      boxText = box->text();
      boxFormat = box->textFormat();
      box->accept();
    }
  });
  QtDialogs().MessageBox(text, "TAG");
  EXPECT_EQ(boxText, shown);
  EXPECT_EQ(boxFormat, Qt::PlainText);
}

TEST_F(WindowRender, CaptionTaskBarTextLabelsAndColours) {
  form.SetCaption("曲名 <b>x</b>");
  EXPECT_EQ(window.windowTitle(), QStringLiteral("曲名 <b>x</b>"));
  // Rows and the window show the window's hint, as text.
  form.SetWindowHint("<b>曲名</b>");
  form.SetRows({"row"});
  EXPECT_THAT(window.List()->model()->index(0, 0).data(Qt::ToolTipRole).toString().toStdString(),
              ::testing::HasSubstr("&lt;b&gt;曲名&lt;/b&gt;"));
  EXPECT_EQ(window.toolTip(), window.List()->model()->index(0, 0).data(Qt::ToolTipRole));
  form.SetAppTitle("[音楽]　曲名 (.mp3)");  // the task-bar text
  EXPECT_EQ(window.windowIconText(), QStringLiteral("[音楽]　曲名 (.mp3)"));
  form.SetLabelText(1, "00:01 / 03:00");
  form.SetLabelColor(1, Color::Blue);
  form.SetLabelText(3, "<i>74</i>");
  EXPECT_EQ(window.Panel()->Label(1)->text(), QStringLiteral("00:01 / 03:00"));
  EXPECT_EQ(window.Panel()->Label(1)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_EQ(window.Panel()->Label(3)->textFormat(), Qt::PlainText);
  form.SetLabelColor(1, Color::Black);
  EXPECT_EQ(window.Panel()->Label(1)->palette().color(QPalette::WindowText), QColor(Qt::black));
}

TEST_F(WindowRender, CheckMarksAreThePlayersOnly) {
  form.SetChecked("N1", true);
  form.SetChecked("R2", true);
  EXPECT_TRUE(window.Menus().Item("N1")->isChecked());
  EXPECT_TRUE(window.Menus().Item("R2")->isChecked());
  EXPECT_FALSE(window.Menus().Item("N2")->isChecked());
  EXPECT_FALSE(window.Menus().Item("N2")->isCheckable());  // no empty box either
  // Choosing an item does not mark it; the player (here: nobody) decides.
  window.Menus().Item("N2")->trigger();
  window.Menus().Item("N1")->trigger();
  EXPECT_FALSE(window.Menus().Item("N2")->isChecked());
  EXPECT_TRUE(window.Menus().Item("N1")->isChecked());
}

TEST_F(WindowRender, AHundredThousandRowsAreVirtual) {
  std::vector<std::string> rows;
  rows.reserve(100000);
  for (int i = 0; i < 100000; ++i) rows.push_back("track " + std::to_string(i));
  form.SetRows(std::move(rows));
  PlayListView* list = window.List();
  EXPECT_EQ(list->model()->rowCount(), 100000);
  EXPECT_EQ(list->model()->index(99999, 0).data().toString(), QStringLiteral("track 99999"));
  EXPECT_EQ(list->sizeHintForRow(5), 16);

  form.SetItemIndex(70000);
  EXPECT_EQ(list->currentIndex().row(), 70000);
  EXPECT_TRUE(list->selectionModel()->isSelected(list->model()->index(70000, 0)));
  const int top = list->verticalScrollBar()->value();
  form.SetScrollWidth(900);
  QApplication::processEvents();
  // The extent and the view's margins beside the text.
  EXPECT_EQ(list->horizontalScrollBar()->maximum(),
            900 + ItemTextMargins(list) - list->viewport()->width());
  // The width change keeps the selection and the scroll position.
  EXPECT_EQ(list->currentIndex().row(), 70000);
  EXPECT_EQ(list->verticalScrollBar()->value(), top);
  form.SetRows({"x"});
  EXPECT_FALSE(list->currentIndex().isValid());
}

TEST_F(WindowRender, HintsCanBeSwitchedOff) {
  QToolButton* button = window.Bar()->Button("ToolButton3");
  const QPoint at(3, 3);
  QHelpEvent help(QEvent::ToolTip, at, button->mapToGlobal(at));
  QToolTip::hideText();  // a hint of an earlier test fades out first
  QDeadlineTimer deadline(3000);
  while (QToolTip::isVisible() && !deadline.hasExpired()) QTest::qWait(20);
  ASSERT_FALSE(QToolTip::isVisible());

  form.SetHintsShown(false);
  QApplication::sendEvent(button, &help);
  EXPECT_FALSE(QToolTip::isVisible());
  form.SetHintsShown(true);
  QApplication::sendEvent(button, &help);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), Q("前の曲  Up"));
}

TEST_F(WindowRender, WithoutATrayHidingMinimisesAndRestoringShowsThePanel) {
  ASSERT_FALSE(window.HidesToTray());  // offscreen has no notification area
  form.SetVisible(false);
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.isMinimized());
  // Never a tool window: task bars list none, and the minimised window must be listed.
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::Tool));
  window.showNormal();
  QApplication::processEvents();
  EXPECT_THAT(commands.calls, ::testing::Contains("show panel"));
  // The player shows the window again; nothing is left minimised.
  form.SetVisible(true);
  EXPECT_FALSE(window.isMinimized());
  EXPECT_TRUE(window.isVisible());
  // The close box follows the player in both states.
  form.SetCloseBox(true);
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(window.isVisible());
}

TEST_F(WindowRender, WithATrayHidingHidesAndShowingShows) {
  window.trayAvailable = [] { return true; };
  form.SetVisible(false);
  EXPECT_FALSE(window.isVisible());
  form.SetVisible(true);
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.isMinimized());
}

TEST(WindowStart, StaysHiddenUntilStartedAndWhenThePlayerHidIt) {
  MainForm form;
  RecordingCommands commands;
  MainWindow window(form, commands);
  form.SetCaption("before start");
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("before start"));
  window.Start();
  EXPECT_TRUE(window.isVisible());

  MainForm hiddenForm;
  MainWindow hidden(hiddenForm, commands);
  hiddenForm.SetVisible(false);  // the start-up outcome hid the window
  hidden.Start();
  // Offscreen has no notification area: hidden means minimised to the task bar.
  EXPECT_TRUE(hidden.isMinimized());
}

}  // namespace
}  // namespace solka
