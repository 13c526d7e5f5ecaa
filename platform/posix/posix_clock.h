// The system clock: local time of day, epoch seconds, and a blocking wait.
#pragma once

#include <functional>

#include "platform/api/clock.h"

namespace solka {

class PosixClock : public Clock {
 public:
  // `beforeSleep` runs before each wait, so the GUI can repaint what was just set.
  explicit PosixClock(std::function<void()> beforeSleep = {})
      : beforeSleep_(std::move(beforeSleep)) {}
  TimeOfDay Now() override;
  std::int64_t EpochSeconds() override;
  std::int64_t SteadyMilliseconds() override;
  void Sleep(int milliseconds) override;

 private:
  std::function<void()> beforeSleep_;
};

}  // namespace solka
