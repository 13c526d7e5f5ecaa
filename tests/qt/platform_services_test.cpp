// The Qt services the core runs on: timers, the idle handler, the quit signals, the filter of
// the save dialog, the screen, the trace lines, the application object.
#include <gmock/gmock.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <stdexcept>

#include "form/trace.h"
#include "platform/qt/application.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/quit_signals.h"

namespace solka {
namespace {

// Runs the real event loop for a while (waiting included, so the idle handler can run).
void RunLoop(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

TEST(QtEventLoopTimers, TickOnlyWhileEnabledAndNeverAtIntervalZero) {
  QtEventLoop events;
  int ticks = 0, zeroTicks = 0;
  auto timer = events.CreateTimer(10, false, [&] { ++ticks; });
  auto zero = events.CreateTimer(0, true, [&] { ++zeroTicks; });
  RunLoop(60);
  EXPECT_EQ(ticks, 0);
  timer->SetEnabled(true);
  RunLoop(100);
  EXPECT_GE(ticks, 2);
  timer->SetEnabled(false);
  const int stopped = ticks;
  RunLoop(60);
  EXPECT_EQ(ticks, stopped);
  EXPECT_EQ(zeroTicks, 0);
  timer->SetInterval(1000);
  EXPECT_EQ(timer->Interval(), 1000);
  EXPECT_FALSE(timer->Enabled());
}

TEST(QtEventLoopIdle, RunsWhenTheQueueRunsDryAndMayRemoveItself) {
  QtEventLoop events;
  int runs = 0;
  events.SetIdleHandler([&] {
    ++runs;
    events.SetIdleHandler(nullptr);
  });
  EXPECT_TRUE(events.HasIdleHandler());
  // ProcessMessages never waits, so it does not count as running dry.
  events.ProcessMessages();
  EXPECT_EQ(runs, 0);
  RunLoop(50);
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(events.HasIdleHandler());
  RunLoop(50);
  EXPECT_EQ(runs, 1);
}

TEST(QtEventLoopIdle, WaitingEventsAreHandledBeforeTheHandlerRuns) {
  QtEventLoop events;
  bool delivered = false, deliveredFirst = false;
  QMetaObject::invokeMethod(
      qApp, [&] { delivered = true; }, Qt::QueuedConnection);
  events.SetIdleHandler([&] {
    deliveredFirst = delivered;
    events.SetIdleHandler(nullptr);
  });
  RunLoop(50);
  EXPECT_TRUE(deliveredFirst);
}

TEST(QtEventLoopIdle, AStayingHandlerRunsOncePerIdleMomentNotInALoop) {
  QtEventLoop events;
  int runs = 0;
  events.SetIdleHandler([&] { ++runs; });
  RunLoop(100);
  events.SetIdleHandler(nullptr);
  // A few wake-ups (the quit timer) but no busy loop.
  EXPECT_GE(runs, 1);
  EXPECT_LT(runs, 20);
}

TEST(QtEventLoopIdle, ProcessMessagesInsideTheHandlerDoesNotRecurse) {
  QtEventLoop events;
  int depth = 0, deepest = 0, runs = 0;
  events.SetIdleHandler([&] {
    ++runs;
    deepest = std::max(deepest, ++depth);
    QTimer::singleShot(0, [] {});
    events.ProcessMessages();
    --depth;
    if (runs == 2) events.SetIdleHandler(nullptr);
  });
  RunLoop(100);
  EXPECT_EQ(deepest, 1);
}

TEST(QuitSignalsTest, EachSignalReachesTheGuiThreadAndSeveralCountOnce) {
  int calls = 0;
  QuitSignals signals_([&] { ++calls; });
  ASSERT_TRUE(signals_.Installed());
  std::raise(SIGTERM);
  std::raise(SIGHUP);
  QDeadlineTimer deadline(3000);
  while (calls == 0 && !deadline.hasExpired()) QTest::qWait(10);
  EXPECT_EQ(calls, 1);
  std::raise(SIGINT);
  deadline.setRemainingTime(3000);
  while (calls == 1 && !deadline.hasExpired()) QTest::qWait(10);
  EXPECT_EQ(calls, 2);
}

TEST(SaveDialogFilter, DesignedFilterBecomesQtFilter) {
  EXPECT_EQ(QtFilterFrom("MP3リストファイル（*.m3u）|*.m3u"),
            QStringLiteral("MP3リストファイル（*.m3u） (*.m3u)"));
  EXPECT_EQ(QtFilterFrom("a|*.a|b|*.b"), QStringLiteral("a (*.a);;b (*.b)"));
  EXPECT_EQ(QtFilterFrom(""), QString());
  EXPECT_EQ(QtFilterFrom("no pattern"), QString());
}

TEST(QtScreenTest, CloseComesFromTheLoopAndWaitCursorsBalance) {
  QWidget window, list(&window);
  int closes = 0;
  QtScreen screen;
  screen.SetMainWindow(&window, &list, [&] { ++closes; });
  screen.CloseMainWindow();
  EXPECT_EQ(closes, 0);  // not from inside the caller's handler
  QApplication::processEvents();
  EXPECT_EQ(closes, 1);

  screen.SetWaitCursor(true);
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  screen.SetWaitCursor(false);
  screen.SetWaitCursor(false);  // one too many restores nothing that is not ours
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  EXPECT_GT(screen.ListTextWidth("曲名の長いトラック"), screen.ListTextWidth("短"));
  EXPECT_EQ(screen.ListTextWidth(""), 0);
  EXPECT_FALSE(screen.MainWindowIsForeground());
  EXPECT_GT(screen.AvailableHeight(), 0);
  EXPECT_GT(screen.CaptionHeight(), 0);
}

TEST(ApplicationTest, AnExceptionInAHandlerIsReportedAndTheLoopGoesOn) {
  auto* app = dynamic_cast<Application*>(qApp);
  ASSERT_NE(app, nullptr);
  std::vector<std::string> reports;
  app->reportException = [&](const std::string& what) { reports.push_back(what); };
  QObject target;
  bool later = false;
  QMetaObject::invokeMethod(
      &target, [] { throw std::runtime_error("disk on fire"); }, Qt::QueuedConnection);
  QMetaObject::invokeMethod(
      &target, [&] { later = true; }, Qt::QueuedConnection);
  QApplication::processEvents();
  app->reportException = nullptr;
  EXPECT_THAT(reports, ::testing::ElementsAre("disk on fire"));
  EXPECT_TRUE(later);
}

TEST(TraceTest, PrintsEachChangeOnceInTheAgreedFormat) {
  ::testing::internal::CaptureStderr();
  Trace on(true);
  on.Caption("SOLKA Player DirectShow Ver.");
  on.Caption("SOLKA Player DirectShow Ver.");
  on.Caption("曲名");
  on.Tray(3, "DODEDEV 1.7.2.0");
  on.Tray(3, "DODEDEV 1.7.2.0");
  on.Tray(1, "DODEDEV 1.7.2.0");
  Trace off(false);
  off.Caption("never");
  off.Tray(0, "never");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "solka: caption: SOLKA Player DirectShow Ver.\n"
            "solka: caption: 曲名\n"
            "solka: tray: 3 DODEDEV 1.7.2.0\n"
            "solka: tray: 1 DODEDEV 1.7.2.0\n");
}

}  // namespace
}  // namespace solka
