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

void Arm(TDODEDEV& player, std::string deadline, std::string_view item) {
  CheckOnly(player.Form, item);
  player.SleepDeadline = std::move(deadline);
  player.SleepArmed = true;
  player.SleepAfterListEnd = false;
  player.Timer2->SetInterval(1000);
  player.Timer2->SetEnabled(true);
  player.Form.SetSleepButton(kArmedImage, "スリープ設定中 ( " + player.SleepDeadline + " )");
  if (player.MonitorPower) player.test1Click();
}

void ArmAfter(TDODEDEV& player, int minutes, std::string_view item) {
  Arm(player, DeadlineAfter(player.Platform().clock.Now(), minutes), item);
}

}  // namespace

void TDODEDEV::N301Click() {
  ArmAfter(*this, 30, "N301");
}
void TDODEDEV::N601Click() {
  ArmAfter(*this, 60, "N601");
}

void TDODEDEV::N21Click() {
  if (!Form3 || Form3->Showing()) return;
  switch (Form3->ShowModal()) {
    case kResultOk:  // the texts as typed: the dialog accepts only a time of day
      Arm(*this, Form3->Form.Text("Edit1") + ":" + Form3->Form.Text("Edit2"), "N21");
      break;
    case kResultAbort:
      N22Click();
      break;
    default:  // closed by its close box: nothing changes
      break;
  }
}

void TDODEDEV::N23Click() {
  if (Form.RowCount() == 0) {
    platform_.dialogs.MessageBox("再生できるリストがありません", std::string(kRefusalCaption));
    return;
  }
  // Only a list that plays once comes to an end.
  if (ModeCode != 1 && ModeCode != 3) {
    platform_.dialogs.MessageBox("再生モードが「１回」に設定されていません",
                                 std::string(kRefusalCaption));
    return;
  }
  Timer2->SetEnabled(false);
  SleepDeadline.clear();
  SleepArmed = false;
  CheckOnly(Form, "N23");
  Form.SetSleepButton(kArmedImage, "再生終了後スリープ設定中");
  SleepAfterListEnd = true;
  if (MonitorPower) test1Click();
}

void TDODEDEV::SleepButtonClick() {
  N21Click();
}

}  // namespace solka
