// The sleep setting. Plain data, read through TDODEDEV::Sleep().
#pragma once

#include <cstdint>
#include <string>

namespace solka {

struct SleepState {
  // Set exactly while the deadline timer runs; only TDODEDEV::SetSleepDeadline changes either.
  bool SleepArmed = false;
  std::string SleepDeadline;  // "h:m"
  // Where the clock stood at the last check of the deadline (or its arming).
  std::int64_t CheckedEpochSeconds = 0;
  int CheckedMinute = 0;  // of the day
  bool SleepAfterListEnd = false;
  bool MonitorPower = false;  // arming also powers the monitor down
};

}  // namespace solka
