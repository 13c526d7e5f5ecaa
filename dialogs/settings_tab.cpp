// The settings tab of TForm2: showing the settings, and the two radio groups that store their
// key at the click. The check boxes are read back by the folder selection command.
#include <array>

#include "dialogs/tform2.h"

namespace solka {

namespace {

// A radio button and the setting value it stands for. The first of a group is also what an
// empty value shows.
struct Choice {
  std::string_view button;
  std::string_view value;
};
using Choices = std::array<Choice, 3>;
constexpr Choices kScanModes{{{"Extchk3", "0"}, {"Extchk2", "2"}, {"Extchk1", "1"}}};
constexpr Choices kSleepActions{
    {{"RadioButton5", "0"}, {"RadioButton3", "1"}, {"RadioButton4", "2"}}};

// The button that shows `value`, or empty when none does.
std::string_view ButtonFor(const Choices& group, std::string_view value) {
  if (value.empty()) return group.front().button;
  for (const Choice& choice : group)
    if (choice.value == value) return choice.button;
  return {};
}

// The value `button` stands for, or empty when it is not of the group.
std::string_view ValueOf(const Choices& group, std::string_view button) {
  for (const Choice& choice : group)
    if (choice.button == button) return choice.value;
  return {};
}

}  // namespace

bool TForm2::CheckRadio(std::initializer_list<std::string_view> group, std::string_view name) {
  const bool wasChecked = Form.Checked(name);
  for (std::string_view button : group) Form.SetChecked(button, button == name);
  return !wasChecked;
}

void TForm2::ShowSettings() {
  const auto is = [this](Key key, std::string_view value) { return host_.Setting(key) == value; };
  Form.SetChecked("CheckBox1", is(Hint, "0"));
  Form.SetChecked("CheckBox2", host_.ListBoxSorted());
  Form.SetChecked("CheckBox3", is(AutoPlay, "1"));
  Form.SetChecked("CheckBox4", is(TaskButton, "1"));
  Form.SetChecked("CheckBox5", is(Run_App, "1"));
  Form.SetText("Edit2", host_.Setting(AppName));
  const std::string_view scanMode = ButtonFor(kScanModes, host_.Setting(FileType));
  if (!scanMode.empty() && CheckRadio({"Extchk3", "Extchk2", "Extchk1"}, scanMode))
    Extchk1Click(scanMode);
  Form.SetChecked("CheckBox6", is(CloseBtn, "1"));
  Form.SetChecked("CheckBox7", host_.MonitorPower());
  // A type whose value is "0" or empty shows unchecked: the box always shows what is stored,
  // also after a cancelled opening in which it was ticked.
  for (const KeyBox& box : kTypeBoxes)
    Form.SetChecked(box.control, !is(box.key, "0") && !is(box.key, ""));
  Form.SetChecked("FindSub", is(SubFolder, "1"));
  const std::string_view action = ButtonFor(kSleepActions, host_.Setting(SleepMode));
  if (!action.empty() && CheckRadio({"RadioButton5", "RadioButton3", "RadioButton4"}, action))
    RadioButton5Click(action);
}

void TForm2::Extchk1Click(std::string_view sender) {
  if (const std::string_view value = ValueOf(kScanModes, sender); !value.empty())
    host_.SetSetting(FileType, std::string(value));
}

void TForm2::RadioButton5Click(std::string_view sender) {
  if (const std::string_view value = ValueOf(kSleepActions, sender); !value.empty())
    host_.SetSetting(SleepMode, std::string(value));
}

void TForm2::Button6Click() {
  if (std::optional<std::string> file = platform_.dialogs.OpenFile())
    Form.SetText("Edit2", std::move(*file));
}

void TForm2::Label3Click() {
  if (!homePage_.empty()) platform_.shell.Open(homePage_);
}

}  // namespace solka
