// The settings tab of TForm2: showing the settings, and the two radio groups that store their
// key at the click. The check boxes are read back by the folder selection command.
#include "dialogs/tform2.h"

namespace solka {

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
  const std::string& fileType = host_.Setting(FileType);
  const std::string_view scanMode = fileType.empty() || fileType == "0" ? "Extchk3"
                                    : fileType == "2"                   ? "Extchk2"
                                    : fileType == "1"                   ? "Extchk1"
                                                                        : "";
  if (!scanMode.empty() && CheckRadio({"Extchk3", "Extchk2", "Extchk1"}, scanMode))
    Extchk1Click(scanMode);
  Form.SetChecked("CheckBox6", is(CloseBtn, "1"));
  Form.SetChecked("CheckBox7", host_.MonitorPower());
  // A type whose value is "0" or empty shows unchecked: the box always shows what is stored,
  // also after a cancelled opening in which it was ticked.
  for (const KeyBox& box : kTypeBoxes)
    Form.SetChecked(box.control, !is(box.key, "0") && !is(box.key, ""));
  Form.SetChecked("FindSub", is(SubFolder, "1"));
  const std::string& sleepMode = host_.Setting(SleepMode);
  const std::string_view action = sleepMode.empty() || sleepMode == "0" ? "RadioButton5"
                                  : sleepMode == "2"                    ? "RadioButton4"
                                  : sleepMode == "1"                    ? "RadioButton3"
                                                                        : "";
  if (!action.empty() && CheckRadio({"RadioButton5", "RadioButton3", "RadioButton4"}, action))
    RadioButton5Click(action);
}

void TForm2::Extchk1Click(std::string_view sender) {
  if (sender == "Extchk1")
    host_.SetSetting(FileType, "1");
  else if (sender == "Extchk2")
    host_.SetSetting(FileType, "2");
  else if (sender == "Extchk3")
    host_.SetSetting(FileType, "0");
}

void TForm2::RadioButton5Click(std::string_view sender) {
  if (sender == "RadioButton3")
    host_.SetSetting(SleepMode, "1");
  else if (sender == "RadioButton4")
    host_.SetSetting(SleepMode, "2");
  else if (sender == "RadioButton5")
    host_.SetSetting(SleepMode, "0");
}

void TForm2::Button6Click() {
  if (std::optional<std::string> file = platform_.dialogs.OpenFile())
    Form.SetText("Edit2", std::move(*file));
}

void TForm2::Label3Click() {
  if (!homePage_.empty()) platform_.shell.Open(homePage_);
}

}  // namespace solka
