// The sleep commands of the sleep button and its menus: a deadline 30 or 60 minutes ahead, or
// the end of the list, or a time of day entered in the time dialog.
#include <string>
#include <string_view>

#include "app/tdodedev.h"
#include "dialogs/tform3.h"

namespace solka {

namespace {

// The two menus move together: each command checks its item in both.
struct SleepPair {
  const char* sleepMenu;
  const char* trayMenu;
};
constexpr SleepPair kSleepPairs[] = {
    {"N301", "N302"}, {"N601", "N602"}, {"N21", "N212"}, {"N23", "N232"}};

constexpr int kArmedImage = 8;
constexpr std::string_view kRefusalCaption = "スリープ解除";

void CheckOnly(MainForm& form, std::string_view item) {
  for (const SleepPair& pair : kSleepPairs) {
    const bool on = pair.sleepMenu == item;
    form.SetChecked(pair.sleepMenu, on);
    form.SetChecked(pair.trayMenu, on);
  }
}

// Hour and minute `minutes` (at most 60) from now; seconds are dropped, so the deadline can
// come up to a minute early.
std::string DeadlineAfter(const TimeOfDay& now, int minutes) {
  int h = now.hour, m = now.minute + minutes;
  if (m > 59) {
    m -= 60;
    if (++h > 23) h -= 24;
  }
  return std::to_string(h) + ":" + std::to_string(m);
}

}  // namespace

void TDODEDEV::ArmAfter(int minutes, std::string_view item) {
  Arm(DeadlineAfter(platform_.clock.Now(), minutes), item);
}

void TDODEDEV::Arm(std::string deadline, std::string_view item) {
  CheckOnly(form_, item);
  SetSleepDeadline(std::move(deadline));
  sleep_.SleepAfterListEnd = false;
  form_.SetSleepButton(kArmedImage, "スリープ設定中 ( " + sleep_.SleepDeadline + " )");
  if (sleep_.MonitorPower) test1Click();
}

void TDODEDEV::N301Click() {
  ArmAfter(30, "N301");
}
void TDODEDEV::N601Click() {
  ArmAfter(60, "N601");
}

void TDODEDEV::N21Click() {
  if (!form3_ || form3_->Showing()) return;
  switch (form3_->ShowModal()) {
    case kResultOk:  // the texts as typed: the dialog accepts only a time of day
      Arm(form3_->Form.Text("Edit1") + ":" + form3_->Form.Text("Edit2"), "N21");
      break;
    case kResultAbort:
      N22Click();
      break;
    default:  // closed by its close box: nothing changes
      break;
  }
}

void TDODEDEV::N23Click() {
  if (form_.RowCount() == 0) {
    platform_.dialogs.MessageBox("再生できるリストがありません", std::string(kRefusalCaption));
    return;
  }
  // Only a list that plays once comes to an end.
  if (!PlaysOnce(sequence_.ModeCode)) {
    platform_.dialogs.MessageBox("再生モードが「１回」に設定されていません",
                                 std::string(kRefusalCaption));
    return;
  }
  SetSleepDeadline(std::nullopt);
  CheckOnly(form_, "N23");
  form_.SetSleepButton(kArmedImage, "再生終了後スリープ設定中");
  sleep_.SleepAfterListEnd = true;
  if (sleep_.MonitorPower) test1Click();
}

void TDODEDEV::SleepButtonClick() {
  N21Click();
}

}  // namespace solka
