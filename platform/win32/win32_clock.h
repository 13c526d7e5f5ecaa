// The system clock on Windows: local time of day, epoch seconds, a steady tick count, a wait.
#pragma once

#include <functional>
#include <utility>

#include "platform/api/clock.h"

namespace solka {

class Win32Clock : public Clock {
 public:
  // `beforeSleep` runs before each wait, so the GUI can repaint what was just set.
  explicit Win32Clock(std::function<void()> beforeSleep = {})
      : beforeSleep_(std::move(beforeSleep)) {}
  TimeOfDay Now() override;
  std::int64_t EpochSeconds() override;
  std::int64_t SteadyMilliseconds() override;
  void Sleep(int milliseconds) override;

 private:
  std::function<void()> beforeSleep_;
};

}  // namespace solka
