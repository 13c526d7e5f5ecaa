#include <algorithm>
#include <string>

#include "dialogs/modal_run.h"
#include "dialogs/tform3.h"

namespace solka {

namespace {

std::string TwoDigits(int value) {
  return (value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

int TForm3::FieldValue(std::string_view text, int maximum) {
  if (text.empty() || text.size() > 2) return -1;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value <= maximum ? value : -1;
}

int TForm3::ShowModal() {
  return RunModalOnce(Form, window_, showing_, [this] { FormShow(); });
}

void TForm3::FormShow() {
  const std::string deadline = host_.ArmedDeadline();
  const auto colon = deadline.find(':');
  if (colon != std::string::npos) {
    const int hour = FieldValue(std::string_view(deadline).substr(0, colon), kMaxHour);
    const int minute = FieldValue(std::string_view(deadline).substr(colon + 1), kMaxMinute);
    if (hour >= 0 && minute >= 0) {
      Form.SetText("Edit1", TwoDigits(hour));
      Form.SetText("Edit2", TwoDigits(minute));
      return;
    }
  }
  // No deadline armed: the present time, the minute without a leading zero.
  const TimeOfDay now = platform_.clock.Now();
  Form.SetText("Edit1", TwoDigits(now.hour));
  Form.SetText("Edit2", std::to_string(now.minute));
}

void TForm3::BitBtn1Click() {
  // Only a time of day can ever be reached by the sleep check: anything else is refused here,
  // while the user can still correct it.
  if (FieldValue(Form.Text("Edit1"), kMaxHour) < 0 ||
      FieldValue(Form.Text("Edit2"), kMaxMinute) < 0) {
    platform_.dialogs.MessageBox(std::string(kInvalidTime), std::string(kCaption));
    return;
  }
  Form.SetModalResult(kResultOk);
}

void TForm3::BitBtn2Click() {
  Form.SetModalResult(kResultAbort);
}

void TForm3::UpDownClick(std::string_view edit, int maximum, int step) {
  // A text that is no number steps from 0, the designed position; the range does not wrap.
  const int value =
      std::clamp(std::max(FieldValue(Form.Text(edit), maximum), 0) + step, 0, maximum);
  Form.SetText(edit, std::to_string(value));
}

bool TForm3::Handle(std::string_view control, DialogEvent event, int) {
  const bool up = event == DialogEvent::StepUp, down = event == DialogEvent::StepDown;
  if ((control == "BitBtn1" && event == DialogEvent::Click) || event == DialogEvent::ReturnKey) {
    BitBtn1Click();
  } else if (control == "BitBtn2" && event == DialogEvent::Click) {
    BitBtn2Click();
  } else if (event == DialogEvent::CloseBox) {
    Form.SetModalResult(kResultCancel);
  } else if ((control == "UpDown1" || control == "Edit1") && (up || down)) {
    UpDownClick("Edit1", kMaxHour, up ? 1 : -1);
  } else if ((control == "UpDown2" || control == "Edit2") && (up || down)) {
    UpDownClick("Edit2", kMaxMinute, up ? 1 : -1);
  } else {
    return false;
  }
  return true;
}

}  // namespace solka
