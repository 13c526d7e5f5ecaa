// Time of day and waiting.
//
// Contract: GUI thread. Sleep blocks the caller (the window is repainted first so that a text
// set just before stays visible), it does not dispatch events.
#pragma once

#include <cstdint>

namespace solka {

struct TimeOfDay {
  int hour = 0;    // 0..23, local time
  int minute = 0;  // 0..59
  int second = 0;  // 0..59
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual TimeOfDay Now() = 0;
  // Seconds since the epoch (seeds the shuffle).
  virtual std::int64_t EpochSeconds() = 0;
  // Milliseconds of a clock that only moves forward (not set back or forth with the time of
  // day); for intervals.
  virtual std::int64_t SteadyMilliseconds() = 0;
  virtual void Sleep(int milliseconds) = 0;
};

}  // namespace solka
