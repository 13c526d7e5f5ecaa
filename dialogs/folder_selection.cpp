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

}  // namespace

void TDODEDEV::ToolButton1Click() {
  if (!form2_ || form2_->Showing()) return;
  const int result = form2_->ShowModal();
  if (result == kResultOk || result == kResultYes) {
    // The settings tab, in this order, each with its immediate effect.
    const DialogForm& tab = form2_->Form;
    settings_.Set(Hint, Flag(!tab.Checked("CheckBox1")));
    form_.SetHintsShown(!tab.Checked("CheckBox1"));
    settings_.Set(Sort, Flag(tab.Checked("CheckBox2")));
    SetListBoxSorted(tab.Checked("CheckBox2"));
    settings_.Set(AutoPlay, Flag(tab.Checked("CheckBox3")));
    settings_.Set(TaskButton, Flag(tab.Checked("CheckBox4")));
    ApplyTaskButton();
    settings_.Set(Run_App, Flag(tab.Checked("CheckBox5")));
    settings_.Set(CloseBtn, Flag(tab.Checked("CheckBox6")));
    ApplyCloseBtn();
    settings_.Set(AppName, tab.Text("Edit2"));
    settings_.Set(SubFolder, Flag(tab.Checked("FindSub")));
    for (const TForm2::KeyBox& box : TForm2::kTypeBoxes)
      settings_.Set(box.key, Flag(tab.Checked(box.control)));
    sleep_.MonitorPower = tab.Checked("CheckBox7");
    SaveDialogSettings();

    list_.SelectedFolders = form2_->SelectedFolders;
    list_.SelectedListLines = form2_->SelectedListLines;
    if (result == kResultOk) {
      list_.PlayList.Clear();
      form_.SetRows(std::vector<std::string>());
    }
    const bool nothingChosen =
        list_.ListMode ? list_.SelectedListLines.empty() : list_.SelectedFolders.empty();
    if (nothingChosen) {
      // The count goes, and continuous play has nothing to go on with; the menu's check mark
      // follows the switch, so that it never offers "on" while it is off.
      form_.SetLabelText(2, "");
      sequence_.ContinuousPlay = false;
      SetLabel1Color(Color::Black);
      form_.SetChecked("N9", false);
    } else if (!list_.ListMode) {
      const char separator = platform_.files.Syntax().separator;
      for (const std::string& folder : list_.SelectedFolders) {
        ScanFolder(folder + separator);
        form_.SetLabelText(2, TrackCount(list_.PlayList.size()));
      }
      // A sorted list stays sorted when Sort is off.
      if (SettingIs(Sort, "1")) SetPlayListSorted(true);
      RefreshListBox();
    } else {
      // The chosen files' lines replace the list, for "追加" as well.
      list_.PlayList.Assign(list_.SelectedListLines);
      RefreshListBox();
      form_.SetLabelText(2, TrackCount(static_cast<std::size_t>(form_.RowCount())));
    }
    FitScrollWidth();
    if (result == kResultYes && !list_.PlayList.empty())
      form_.SetLabelText(2, TrackCount(list_.PlayList.size()));
  }
  if (list_.PlayList.empty() && sleep_.SleepAfterListEnd) N22Click();
}

}  // namespace solka
