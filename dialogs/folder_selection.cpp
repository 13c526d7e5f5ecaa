// The folder selection command: the list selection dialog, then its settings taken back and
// saved, then the play list rebuilt from what was chosen. Playback is not touched.
#include "app/tdodedev.h"
#include "dialogs/tform2.h"

namespace solka {

namespace {

std::string Flag(bool on) {
  return on ? "1" : "0";
}

std::string TrackCount(std::size_t count) {
  return " / " + std::to_string(count) + " 曲";
}

// Nothing was chosen: the count goes, and continuous play has nothing to go on with.
void ShowNothingChosen(TDODEDEV& player) {
  player.Form.SetLabelText(2, "");
  player.ContinuousPlay = false;
  player.SetLabel1Color(Color::Black);
  // The menu's check mark follows the switch, so that it never offers "on" while it is off.
  player.Form.SetChecked("N9", false);
}

}  // namespace

void TDODEDEV::ToolButton1Click() {
  if (!Form2 || Form2->Showing()) return;
  const int result = Form2->ShowModal();
  if (result == kResultOk || result == kResultYes) {
    // The settings tab, in this order, each with its immediate effect.
    const DialogForm& tab = Form2->Form;
    Settings[Hint] = Flag(!tab.Checked("CheckBox1"));
    Form.SetHintsShown(!tab.Checked("CheckBox1"));
    Settings[Sort] = Flag(tab.Checked("CheckBox2"));
    SetListBoxSorted(tab.Checked("CheckBox2"));
    Settings[AutoPlay] = Flag(tab.Checked("CheckBox3"));
    Settings[TaskButton] = Flag(tab.Checked("CheckBox4"));
    ApplyTaskButton();
    Settings[Run_App] = Flag(tab.Checked("CheckBox5"));
    Settings[CloseBtn] = Flag(tab.Checked("CheckBox6"));
    ApplyCloseBtn();
    Settings[AppName] = tab.Text("Edit2");
    Settings[SubFolder] = Flag(tab.Checked("FindSub"));
    for (const TForm2::KeyBox& box : TForm2::kTypeBoxes)
      Settings[box.key] = Flag(tab.Checked(box.control));
    MonitorPower = tab.Checked("CheckBox7");
    SaveDialogSettings();

    SelectedFolders = Form2->SelectedFolders;
    SelectedListLines = Form2->SelectedListLines;
    if (result == kResultOk) {
      PlayList.Clear();
      Form.SetRows({});
    }
    const char separator = platform_.files.Syntax().separator;
    if (!ListMode) {
      if (SelectedFolders.empty()) {
        ShowNothingChosen(*this);
      } else {
        for (const std::string& folder : SelectedFolders) {
          ScanFolder(folder + separator);
          Form.SetLabelText(2, TrackCount(PlayList.size()));
        }
        // A sorted list stays sorted when Sort is off.
        if (SettingIs(Sort, "1")) SetPlayListSorted(true);
        RefreshListBox();
      }
    } else if (SelectedListLines.empty()) {
      ShowNothingChosen(*this);
    } else {
      // The chosen files' lines replace the list, for "追加" as well.
      PlayList.Assign(SelectedListLines);
      RefreshListBox();
      Form.SetLabelText(2, TrackCount(Form.Rows().size()));
    }
    FitScrollWidth();
    if (result == kResultYes && !PlayList.empty())
      Form.SetLabelText(2, TrackCount(PlayList.size()));
  }
  if (PlayList.empty() && SleepAfterListEnd) N22Click();
}

}  // namespace solka
