#include "platform/win32/win32_clock.h"

#include <windows.h>

namespace solka {

TimeOfDay Win32Clock::Now() {
  SYSTEMTIME local{};
  GetLocalTime(&local);
  return {local.wHour, local.wMinute, local.wSecond};
}

std::int64_t Win32Clock::EpochSeconds() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const std::int64_t ticks =
      (static_cast<std::int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  // 100 ns ticks since 1601-01-01; the Unix epoch is 11644473600 s later.
  return ticks / 10000000 - 11644473600LL;
}

std::int64_t Win32Clock::SteadyMilliseconds() {
  return static_cast<std::int64_t>(GetTickCount64());
}

void Win32Clock::Sleep(int milliseconds) {
  if (beforeSleep_) beforeSleep_();
  ::Sleep(static_cast<DWORD>(milliseconds < 0 ? 0 : milliseconds));
}

}  // namespace solka
