#include "platform/posix/posix_clock.h"

#include <time.h>

#include <chrono>
#include <thread>

namespace solka {

TimeOfDay PosixClock::Now() {
  const time_t t = time(nullptr);
  struct tm local {};
  localtime_r(&t, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

std::int64_t PosixClock::EpochSeconds() {
  return static_cast<std::int64_t>(time(nullptr));
}

std::int64_t PosixClock::SteadyMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void PosixClock::Sleep(int milliseconds) {
  if (beforeSleep_) beforeSleep_();
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace solka
