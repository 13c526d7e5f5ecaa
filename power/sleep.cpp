// The sleep state as far as playback needs it: cancelling, and the clock check of an armed
// deadline. Arming (30/60 minutes, time of day, after the list) comes with the sleep menu.
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
  if (deadline) Timer2->SetInterval(1000);
  Timer2->SetEnabled(sleep_.SleepArmed);
}

void TDODEDEV::Timer2Timer() {
  if (!sleep_.SleepArmed) return;
  const TimeOfDay now = platform_.clock.Now();
  // A deadline that is no time of day can never be reached; it stays set until cancelled.
  if (DeadlineMinutes(sleep_.SleepDeadline) != now.hour * 60 + now.minute) return;
  N22Click();
  ToolButton9Click();
  RunSleepAction();
}

}  // namespace solka
