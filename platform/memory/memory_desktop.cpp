#include "platform/memory/memory_desktop.h"

#include <algorithm>

namespace solka {

TimeOfDay ManualClock::Now() {
  const std::int64_t s = epochMs_ / 1000;
  const std::int64_t day = ((s % 86400) + 86400) % 86400;
  return {static_cast<int>(day / 3600), static_cast<int>(day / 60 % 60),
          static_cast<int>(day % 60)};
}

void ManualClock::Sleep(int milliseconds) {
  sleeps_.push_back(milliseconds);
  epochMs_ += milliseconds;
}

struct ManualEventLoop::TimerRecord {
  int interval = 0;
  bool enabled = false;
  std::int64_t due = 0;
  std::function<void()> onTick;
};

class ManualEventLoop::ManualTimer : public Timer {
 public:
  ManualTimer(ManualEventLoop& loop, TimerRecord* record) : loop_(loop), record_(record) {}
  ~ManualTimer() override {
    auto& t = loop_.timers_;
    t.erase(std::remove(t.begin(), t.end(), record_), t.end());
    delete record_;
  }
  void SetInterval(int milliseconds) override {
    record_->interval = milliseconds;
    record_->due = loop_.clock_.Millis() + milliseconds;
  }
  int Interval() const override { return record_->interval; }
  void SetEnabled(bool enabled) override {
    if (enabled && !record_->enabled) record_->due = loop_.clock_.Millis() + record_->interval;
    record_->enabled = enabled;
  }
  bool Enabled() const override { return record_->enabled; }

 private:
  ManualEventLoop& loop_;
  TimerRecord* record_;
};

std::unique_ptr<Timer> ManualEventLoop::CreateTimer(int milliseconds, bool enabled,
                                                    std::function<void()> onTick) {
  auto* record =
      new TimerRecord{milliseconds, enabled, clock_.Millis() + milliseconds, std::move(onTick)};
  timers_.push_back(record);
  return std::make_unique<ManualTimer>(*this, record);
}

void ManualEventLoop::ProcessMessages() {
  ++processCalls_;
  // Only what is waiting now; tasks posted meanwhile wait for the next round.
  std::size_t n = posted_.size();
  while (n-- > 0 && !posted_.empty()) {
    auto task = std::move(posted_.front());
    posted_.pop_front();
    task();
  }
}

void ManualEventLoop::RunUntilIdle() {
  while (!posted_.empty()) {
    auto task = std::move(posted_.front());
    posted_.pop_front();
    task();
  }
  if (idle_) {
    auto handler = idle_;  // the handler may remove itself
    handler();
  }
}

void ManualEventLoop::AdvanceTime(std::int64_t milliseconds) {
  const std::int64_t end = clock_.Millis() + milliseconds;
  for (;;) {
    TimerRecord* next = nullptr;
    for (TimerRecord* t : timers_)
      if (t->enabled && t->interval > 0 && t->due <= end && (!next || t->due < next->due)) next = t;
    if (!next) break;
    if (next->due > clock_.Millis()) clock_.Advance(next->due - clock_.Millis());
    next->due += next->interval;
    auto tick = next->onTick;  // the tick may destroy its timer
    tick();
    RunUntilIdle();
  }
  if (end > clock_.Millis()) clock_.Advance(end - clock_.Millis());
}

}  // namespace solka
