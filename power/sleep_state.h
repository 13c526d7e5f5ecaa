// The sleep setting. Plain data, read through TDODEDEV::Sleep().
#pragma once

#include <string>

namespace solka {

struct SleepState {
  // Set exactly while the deadline timer runs; only TDODEDEV::SetSleepDeadline changes either.
  bool SleepArmed = false;
  std::string SleepDeadline;  // "h:m"
  bool SleepAfterListEnd = false;
  bool MonitorPower = false;  // arming also powers the monitor down
};

}  // namespace solka
