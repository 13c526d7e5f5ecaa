// The sleep state as far as playback needs it: cancelling, and the clock check of an armed
// deadline. Arming (30/60 minutes, time of day, after the list) comes with the sleep menu.
#include <cmath>

#include "app/tdodedev.h"
#include "base/text.h"

namespace solka {

namespace {
constexpr const char* kSleepItems[] = {"N301", "N302", "N601", "N602",
                                       "N21",  "N212", "N23",  "N232"};

// "h:m" as typed or computed; nullopt-like -1 when it is not a time of day.
int DeadlineMinutes(const std::string& deadline) {
  const auto colon = deadline.find(':');
  if (colon == std::string::npos) return -1;
  const int h = ToIntDef(std::string_view(deadline).substr(0, colon), -1);
  const int m = ToIntDef(std::string_view(deadline).substr(colon + 1), -1);
  if (h < 0 || h > 23 || m < 0 || m > 59) return -1;
  return h * 60 + m;
}

constexpr int kMinutesADay = 24 * 60;

int MinutesAhead(int from, int to) {
  return ((to - from) % kMinutesADay + kMinutesADay) % kMinutesADay;
}

// Whether `deadline` lay in the minutes the clock passed from `last` to `now` (minutes of the
// day), `elapsed` seconds apart by the wall clock. The time of day alone cannot tell a day's wrap
// from a step back; the wall clock can: of the readings that differ by whole days, the one
// nearest to what it says passed is taken. A clock set back (or a change of the local time
// back) passes nothing.
bool PassedOver(int deadline, int last, int now, std::int64_t elapsed) {
  const int ahead = MinutesAhead(last, now);
  const double days = (static_cast<double>(elapsed) / 60.0 - ahead) / kMinutesADay;
  const std::int64_t moved = ahead + kMinutesADay * static_cast<std::int64_t>(std::llround(days));
  if (moved <= 0) return false;
  if (moved >= kMinutesADay) return true;
  const int toDeadline = MinutesAhead(last, deadline);
  return toDeadline > 0 && toDeadline <= moved;
}
}  // namespace

void TDODEDEV::N22Click() {
  SetSleepDeadline(std::nullopt);
  sleep_.SleepAfterListEnd = false;
  for (const char* item : kSleepItems) form_.SetChecked(item, false);
  form_.SetSleepButton(7, "スリープ設定");
}

void TDODEDEV::SetSleepDeadline(std::optional<std::string> deadline) {
  sleep_.SleepArmed = deadline.has_value();
  sleep_.SleepDeadline = deadline.value_or(std::string());
  // The deadline is a minute of the day: checking each second cannot miss it.
  if (deadline) {
    Timer2->SetInterval(1000);
    NoteSleepCheck();
  }
  Timer2->SetEnabled(sleep_.SleepArmed);
}

void TDODEDEV::NoteSleepCheck() {
  const TimeOfDay now = platform_.clock.Now();
  sleep_.CheckedMinute = now.hour * 60 + now.minute;
  sleep_.CheckedEpochSeconds = platform_.clock.EpochSeconds();
}

void TDODEDEV::Timer2Timer() {
  if (!sleep_.SleepArmed) return;
  const int last = sleep_.CheckedMinute;
  const std::int64_t lastEpoch = sleep_.CheckedEpochSeconds;
  NoteSleepCheck();
  // A deadline that is no time of day can never be reached; it stays set until cancelled. One
  // that the clock jumped over (a resume from suspend, a clock set forward) is due at once.
  const int deadline = DeadlineMinutes(sleep_.SleepDeadline);
  if (deadline < 0 ||
      (deadline != sleep_.CheckedMinute &&
       !PassedOver(deadline, last, sleep_.CheckedMinute, sleep_.CheckedEpochSeconds - lastEpoch)))
    return;
  N22Click();
  ToolButton9Click();
  RunSleepAction();
}

}  // namespace solka
