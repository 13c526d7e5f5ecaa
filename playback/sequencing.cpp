// Which entry plays next, and when a run of tracks ends: the order-of-play menu, the
// continuous-play switch, the end-of-track step, previous and next.
#include <string>

#include "app/tdodedev.h"
#include "form/layout.h"
#include "playback/tray_icons.h"

namespace solka {

void TDODEDEV::UpdatePlayMode() {
  if (Form.Checked("N1")) {
    if (Form.Checked("R2")) {
      ModeCode = 1;
    } else if (Form.Checked("R3")) {
      ModeCode = 2;
    }
  }
  if (Form.Checked("N2")) {
    if (Form.Checked("R2")) {
      ModeCode = 3;
    } else if (Form.Checked("R3")) {
      ModeCode = 4;
    }
  }
  if (Form.Checked("R1")) ModeCode = 5;
  Settings[JukeMode] = std::to_string(ModeCode);
}

void TDODEDEV::PlaySelected() {
  const int row = CurrentIndex();
  // Callers select a row first; a stale or missing one starts nothing rather than a wrong entry.
  if (row < 0 || row >= static_cast<int>(PlayList.size())) return;
  LastEntryStarted = row + 1 == Form.RowCount();
  PlayFile(PlayList[row]);
}

void TDODEDEV::ToolButton5Click() {
  if (ContinuousPlay) {
    SetLabel1Color(Color::Black);
    if (SleepAfterListEnd) N22Click();
    Form.SetChecked("N9", false);
    if (Playing) {
      StopGraph();
      ReleasePlayback();
      Form.SetTrayIcon(kIdleIcon);
      Form.SetTrayHint(VersionText);
    }
    ContinuousPlay = false;
    Form.SetLabelText(1, "");
    Form.SetCaption(std::string(kDesignedCaption));
    Form.SetAppTitle(Form.Caption());
    return;
  }

  if (Form.RowCount() == 0) return;
  SetLabel1Color(Color::Blue);
  Form.SetChecked("N9", true);
  ContinuousPlay = true;
  UpdatePlayMode();
  if (ModeCode == 3 || ModeCode == 4) {
    SetPlayListSorted(false);
    ShufflePlayList(true);
    RefreshListBox();
  }
  if (CurrentIndex() == -1) SelectRow(0);
  PlaySelected();
}

void TDODEDEV::N1Click(std::string_view item) {
  if (item == "N1") {
    Form.SetChecked("N1", true);
    Form.SetChecked("N2", false);
    SetPlayListSorted(true);
    RefreshListBox();
  } else if (item == "N2") {
    SetPlayListSorted(false);
    Form.SetChecked("N1", false);
    Form.SetChecked("N2", true);
  } else if (item == "R1" || item == "R2" || item == "R3") {
    Form.SetChecked("R1", item == "R1");
    Form.SetChecked("R2", item == "R2");
    Form.SetChecked("R3", item == "R3");
    // An after-the-list sleep can never fire when the list does not end.
    if (item != "R2" && SleepAfterListEnd) N22Click();
  }
  UpdatePlayMode();
}

void TDODEDEV::EndOfTrack() {
  if (ContinuousPlay) {
    SetLabel1Color(Color::Blue);
    AdvanceAfterTrack();
    return;
  }
  SetLabel1Color(Color::Black);
  SelectRow(-1);
  Form.SetLabelText(1, "");
  Form.SetCaption(std::string(kDesignedCaption));
  Form.SetAppTitle(Form.Caption());
  ReleasePending = true;
  platform_.loop.ProcessMessages();
}

void TDODEDEV::EndRun() {
  ReleasePending = true;
  ContinuousPlay = false;
  SetLabel1Color(Color::Black);
  // The menu's check mark follows the switch, so that it never offers "on" while the run is over.
  Form.SetChecked("N9", false);
  SelectRow(-1);
  Form.SetLabelText(1, "");
  Form.SetCaption(std::string(kDesignedCaption));
}

void TDODEDEV::AdvanceAfterTrack() {
  UpdatePlayMode();
  const int rows = Form.RowCount();
  const int next = CurrentIndex() + 1;
  // A row started by a click, previous or next leaves LastEntryStarted behind; when that row
  // is the last one, the next row would lie past the end, which is the end of the list too.
  const bool listDone = LastEntryStarted || next >= rows;
  if (rows == 0) {
    EndRun();
  } else if (ModeCode == 1 || ModeCode == 3) {
    if (!listDone) {
      SelectRow(next);
      PlaySelected();
    } else {
      EndRun();
      if (SleepAfterListEnd) {
        N22Click();
        RunSleepAction();
      }
    }
  } else if (ModeCode == 2) {
    SelectRow(next >= rows ? 0 : next);
    PlaySelected();
  } else if (ModeCode == 4) {
    if (!listDone) {
      SelectRow(next);
    } else {
      ShufflePlayList(false);
      RefreshListBox();
      SelectRow(0);
      LastEntryStarted = false;
    }
    PlaySelected();
  } else if (ModeCode == 5) {
    if (CurrentIndex() == -1) {
      EndRun();
    } else {
      PlaySelected();
    }
  }
  Form.SetAppTitle(Form.Caption());
}

void TDODEDEV::ToolButton3Click() {
  const int rows = Form.RowCount();
  if (rows == 0) return;
  SelectRow(CurrentIndex() > 0 ? CurrentIndex() - 1 : rows - 1);
  FIListBox1Click();
}

void TDODEDEV::ToolButton7Click() {
  const int rows = Form.RowCount();
  if (rows == 0) return;
  SelectRow(CurrentIndex() + 1 >= rows ? 0 : CurrentIndex() + 1);
  FIListBox1Click();
}

}  // namespace solka
