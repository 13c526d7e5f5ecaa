// The two dialogs on Qt: every control reaches its handler by its designed name, the windows
// show what the core's form holds, and a modal dialog keeps the player's timers running.
#include <gmock/gmock.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "dialogs/player_dialogs.h"
#include "platform/qt/dialog_window.h"
#include "platform/qt/late_dialogs.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_text.h"
#include "tests/core/player_fixture.h"

namespace solka {
namespace {

using ::testing::ElementsAre;

// Writes down every event as "control event row".
class RecordingEvents : public DialogEvents {
 public:
  bool Handle(std::string_view control, DialogEvent event, int row) override {
    calls.push_back(std::string(control) + " " + std::to_string(static_cast<int>(event)) +
                    (row >= 0 ? " " + std::to_string(row) : ""));
    return true;
  }
  std::vector<std::string> calls;
};

std::string Call(std::string_view control, DialogEvent event, int row = -1) {
  return std::string(control) + " " + std::to_string(static_cast<int>(event)) +
         (row >= 0 ? " " + std::to_string(row) : "");
}

template <typename W>
W* Get(DialogWindow& window, std::string_view name) {
  auto* widget = qobject_cast<W*>(window.Control(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

TEST(DialogWindows, EveryControlOfTheListDialogReachesItsHandler) {
  DialogForm form;
  RecordingEvents events;
  form.SetItems("Edit1", {"/a", "/b"});
  form.SetItems("FIListBox1", {"one", "two", "three"});
  DialogWindow window(TForm2::Design(), form, events);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  for (const char* button : {"Button1", "Button2", "Button3", "BitBtn2", "BitBtn3", "BitBtn1",
                             "Button6", "RadioButton3", "Extchk1", "CheckBox4", "c_ape"})
    QTest::mouseClick(Get<QAbstractButton>(window, button), Qt::LeftButton);
  // A ticked box is in the form before its click arrives.
  EXPECT_TRUE(form.Checked("CheckBox4"));
  QTest::mouseClick(Get<QLabel>(window, "Label3"), Qt::LeftButton);
  auto* radio = Get<QAbstractButton>(window, "RadioButton2");
  radio->setFocus();  // offscreen, the focus arrives as it would with the pointer
  QTest::mouseClick(radio, Qt::LeftButton);
  auto* combo = Get<QComboBox>(window, "Edit1");
  combo->showPopup();
  combo->hidePopup();
  emit combo->activated(1);
  EXPECT_EQ(form.ItemIndex("Edit1"), 1);
  auto* list = Get<QListView>(window, "FIListBox1");
  const QPoint row1 = list->visualRect(list->model()->index(1, 0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row1);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row1);
  QTest::keyClick(list, Qt::Key_Space);  // on the clicked (current) row
  QTest::keyClick(&window, Qt::Key_Return);
  QTest::keyClick(&window, Qt::Key_Escape);

  std::vector<std::string> expected;
  for (const char* button : {"Button1", "Button2", "Button3", "BitBtn2", "BitBtn3", "BitBtn1",
                             "Button6", "RadioButton3", "Extchk1", "CheckBox4", "c_ape", "Label3"})
    expected.push_back(Call(button, DialogEvent::Click));
  for (const auto& call :
       {Call("RadioButton2", DialogEvent::Enter), Call("RadioButton2", DialogEvent::Click),
        Call("Edit1", DialogEvent::DropDown), Call("Edit1", DialogEvent::Change),
        Call("FIListBox1", DialogEvent::RowClick, 1), Call("FIListBox1", DialogEvent::DblClick, 1),
        Call("FIListBox1", DialogEvent::SpaceKey, 1), Call("", DialogEvent::ReturnKey),
        Call("", DialogEvent::CloseBox)})
    expected.push_back(call);
  // In this order; the pointer entering the list and the double-click's own clicks may come
  // in between.
  auto next = events.calls.begin();
  for (const std::string& call : expected) {
    next = std::find(next, events.calls.end(), call);
    ASSERT_NE(next, events.calls.end()) << call << " in " << ::testing::PrintToString(events.calls);
  }
}

TEST(DialogWindows, TheListDialogShowsTheCoresState) {
  DialogForm form;
  RecordingEvents events;
  DialogWindow window(TForm2::Design(), form, events);
  form.SetItems("Edit1", {"/a", "/b"});
  form.SetItemIndex("Edit1", 1);
  form.SetItems("FIListBox1", {"one", "two", "three"});
  form.SetSelected("FIListBox1", 0, true);
  form.SetSelected("FIListBox1", 2, true);
  form.SetChecked("RadioButton2", true);
  form.SetChecked("c_wav", true);
  form.SetText("Edit2", "/usr/bin/true");
  form.SetText("Label3", "KOBARI PROJECT");
  EXPECT_EQ(Get<QComboBox>(window, "Edit1")->currentText(), QStringLiteral("/b"));
  auto* list = Get<QListView>(window, "FIListBox1");
  EXPECT_EQ(list->model()->rowCount(), 3);
  EXPECT_EQ(list->selectionModel()->selectedRows().size(), 2);
  EXPECT_FALSE(list->selectionModel()->isRowSelected(1));
  EXPECT_TRUE(Get<QAbstractButton>(window, "RadioButton2")->isChecked());
  EXPECT_TRUE(Get<QAbstractButton>(window, "c_wav")->isChecked());
  EXPECT_EQ(Get<QLineEdit>(window, "Edit2")->text(), QStringLiteral("/usr/bin/true"));
  EXPECT_EQ(Get<QLabel>(window, "Label3")->text(), QStringLiteral("KOBARI PROJECT"));
  EXPECT_EQ(window.windowTitle(), ToQt(TForm2::kCaption));
  EXPECT_EQ(window.height(), 379);
  EXPECT_GE(window.width(), 280);  // wider only where a caption needs it
  // A clicked radio button that the core keeps unchecked shows unchecked again.
  QTest::mouseClick(Get<QAbstractButton>(window, "RadioButton1"), Qt::LeftButton);
  EXPECT_FALSE(Get<QAbstractButton>(window, "RadioButton1")->isChecked());
}

// Both dialogs from their tables: every designed control exists under its name and shows its
// caption whole, at its designed size in the packaged font.
TEST(DialogWindows, EveryDesignedControlShowsItsWholeCaption) {
  for (const DialogDesign* design : {&TForm2::Design(), &TForm3::Design()}) {
    DialogForm form;
    RecordingEvents events;
    DialogWindow window(*design, form, events);
    for (const ControlDesign& control : design->controls) {
      QWidget* widget = window.Control(control.name);
      ASSERT_NE(widget, nullptr) << control.name;
      EXPECT_LE(DialogWindow::CaptionExtent(control, widget), widget->width()) << control.name;
      EXPECT_EQ(widget->font().pixelSize(), control.fontSize) << control.name;
    }
    EXPECT_LE(window.width(), design->clientWidth * 5 / 4);
  }
}

TEST(DialogWindows, EveryControlOfTheTimeDialogReachesItsHandler) {
  DialogForm form;
  RecordingEvents events;
  DialogWindow window(TForm3::Design(), form, events);
  window.show();
  // A close box alone, and room for the whole caption beside it.
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMinMaxButtonsHint);
  EXPECT_GT(window.width(), QFontMetrics(window.font()).horizontalAdvance(window.windowTitle()));
  form.SetText("Edit1", "09");
  EXPECT_EQ(Get<QLineEdit>(window, "Edit1")->text(), QStringLiteral("09"));
  QTest::mouseClick(Get<QAbstractButton>(window, "BitBtn1"), Qt::LeftButton);
  QTest::mouseClick(Get<QAbstractButton>(window, "BitBtn2"), Qt::LeftButton);
  const auto arrows = window.Control("UpDown1")->findChildren<QToolButton*>();
  ASSERT_EQ(arrows.size(), 2);
  QTest::mouseClick(arrows[0], Qt::LeftButton);
  QTest::mouseClick(window.Control("UpDown2")->findChildren<QToolButton*>()[1], Qt::LeftButton);
  QTest::keyClick(Get<QLineEdit>(window, "Edit2"), Qt::Key_Up);
  QTest::keyClicks(Get<QLineEdit>(window, "Edit1"), "x");
  EXPECT_EQ(form.Text("Edit1"), "09x");
  window.close();
  EXPECT_THAT(
      events.calls,
      ElementsAre(Call("BitBtn1", DialogEvent::Click), Call("BitBtn2", DialogEvent::Click),
                  Call("UpDown1", DialogEvent::StepUp), Call("UpDown2", DialogEvent::StepDown),
                  Call("Edit2", DialogEvent::StepUp), Call("", DialogEvent::CloseBox)));
}

// Runs the event loop (which waits, and so goes idle) for a while.
void RunLoopFor(int milliseconds) {
  QEventLoop wait;
  QTimer::singleShot(milliseconds, &wait, &QEventLoop::quit);
  wait.exec();
}

// The real dialog in front of the player: the command waits in the dialog while the player's
// timers go on ticking, and the dialog's buttons end it. The windows are built at the first idle
// moment after the start-up, or when first opened.
TEST(DialogWindows, ModalDialogsKeepThePlayersTimersRunning) {
  TestPlatform p;
  QtEventLoop loop;
  PlatformServices services{p.files,  p.codec, p.clock, loop,    p.dialogs,
                            p.screen, p.shell, p.power, p.media, p.diagnostics};
  TDODEDEV player(services, {kTestProgram, ""});
  player.FormCreate();
  PlayerDialogs dialogs(player, services, "");
  {
    LateDialogs early(dialogs, nullptr, nullptr);
    bool startupDone = false;
    early.BuildWhenIdle([&] { return startupDone; });
    RunLoopFor(50);
    EXPECT_EQ(early.Form2(), nullptr);
    startupDone = true;
    for (int i = 0; i < 100 && !early.Form3(); ++i) RunLoopFor(50);
    EXPECT_TRUE(early.Form2() && early.Form3());
  }
  QWidget* measuredList = nullptr;
  LateDialogs windows(dialogs, nullptr, [&](QWidget* list) { measuredList = list; });
  int ticks = 0;
  auto timer = loop.CreateTimer(20, true, [&] { ++ticks; });

  QTimer::singleShot(300, qApp, [&] {
    DialogWindow& form3 = *windows.Form3();
    form3.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("7"));
    dialogs.Form3().Form.SetTextFromView("Edit1", "7");
    dialogs.Form3().Form.SetTextFromView("Edit2", "30");
    QTest::mouseClick(qobject_cast<QAbstractButton*>(form3.Control("BitBtn1")), Qt::LeftButton);
  });
  player.N21Click();
  EXPECT_GE(ticks, 5);
  EXPECT_FALSE(windows.Form3()->isVisible());
  EXPECT_EQ(player.Sleep().SleepDeadline, "7:30");
  EXPECT_EQ(measuredList, windows.Form2()->Control("FIListBox1"));

  ticks = 0;
  QTimer::singleShot(300, windows.Form2(), [&] {
    QTest::mouseClick(qobject_cast<QAbstractButton*>(windows.Form2()->Control("BitBtn1")),
                      Qt::LeftButton);
  });
  player.ToolButton1Click();
  EXPECT_GE(ticks, 5);
  EXPECT_FALSE(windows.Form2()->isVisible());
}

}  // namespace
}  // namespace solka
