#include "platform/qt/qt_event_loop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>

namespace solka {

namespace {

class QtTimer : public Timer {
 public:
  QtTimer(int milliseconds, bool enabled, std::function<void()> onTick)
      : onTick_(std::move(onTick)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(milliseconds);
    QObject::connect(&timer_, &QTimer::timeout, [this] { onTick_(); });
    SetEnabled(enabled);
  }
  void SetInterval(int milliseconds) override {
    timer_.setInterval(milliseconds);  // restarts a running timer, as a changed interval should
    Apply();
  }
  int Interval() const override { return timer_.interval(); }
  void SetEnabled(bool enabled) override {
    enabled_ = enabled;
    Apply();
  }
  bool Enabled() const override { return enabled_; }

 private:
  // An interval of 0 would tick on every pass of the loop; it means "never" instead.
  void Apply() {
    if (enabled_ && timer_.interval() > 0) {
      if (!timer_.isActive()) timer_.start();
    } else {
      timer_.stop();
    }
  }

  QTimer timer_;
  std::function<void()> onTick_;
  bool enabled_ = false;
};

constexpr int kDrainLimit = 1000;

}  // namespace

QtEventLoop::QtEventLoop() {
  // aboutToBlock is emitted exactly when the queue has run dry and the loop would wait, which is
  // when the idle handler is due; nested ProcessMessages calls never wait, so never trigger it.
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    blockHook_ = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                  [this] { RunIdle(); });
}

QtEventLoop::~QtEventLoop() {
  QObject::disconnect(blockHook_);
}

std::unique_ptr<Timer> QtEventLoop::CreateTimer(int milliseconds, bool enabled,
                                                std::function<void()> onTick) {
  return std::make_unique<QtTimer>(milliseconds, enabled, std::move(onTick));
}

void QtEventLoop::SetIdleHandler(std::function<void()> handler) {
  idle_ = std::move(handler);
  ++idleChanges_;
}

void QtEventLoop::ProcessMessages() {
  QCoreApplication::processEvents();
}

void QtEventLoop::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(&context_, std::move(task), Qt::QueuedConnection);
}

void QtEventLoop::RunIdle() {
  if (!idle_ || inIdle_) return;
  inIdle_ = true;
  // Some dispatchers announce the wait before they look at what is waiting: handle that first,
  // so the handler runs only once the queue is really empty. Bounded, in case something keeps
  // posting.
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  bool handled = false;
  if (dispatcher) {
    for (int i = 0; i < kDrainLimit && dispatcher->processEvents(QEventLoop::AllEvents); ++i)
      handled = true;
  }
  if (idle_) {
    // A copy: the handler may replace or remove itself while it runs.
    std::function<void()> handler = idle_;
    const unsigned before = idleChanges_;
    handler();
    // Only a handler that finished its work: one that stays would be woken again at once.
    if (idleChanges_ != before) handled = true;
  }
  inIdle_ = false;
  // What ran here took the loop's wake-ups: a quit among it would otherwise be seen only at
  // the loop's next event, which may be far off when no timer runs.
  if (handled && dispatcher) dispatcher->wakeUp();
}

}  // namespace solka
