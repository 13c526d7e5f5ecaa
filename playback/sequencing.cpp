// Which entry plays next, and when a run of tracks ends: the order-of-play menu, the
// continuous-play switch, the end-of-track step, previous and next.
#include <algorithm>
#include <string>

#include "app/tdodedev.h"
#include "form/layout.h"
#include "playback/tray_icons.h"

namespace solka {

void TDODEDEV::UpdatePlayMode() {
  sequence_.ModeCode = ModeForChoice(sequence_.Choice, sequence_.ModeCode);
  settings_.Set(JukeMode, PlayModeText(sequence_.ModeCode));
}

void TDODEDEV::ShowModeChecks() {
  const ModeChoice& choice = sequence_.Choice;
  form_.SetChecked("N1", choice.order == PlayOrder::List);
  form_.SetChecked("N2", choice.order == PlayOrder::Random);
  form_.SetChecked("R1", choice.repeat == RepeatMode::OneSong);
  form_.SetChecked("R2", choice.repeat == RepeatMode::Once);
  form_.SetChecked("R3", choice.repeat == RepeatMode::Endless);
}

void TDODEDEV::PlaySelected() {
  const int row = CurrentIndex();
  // Callers select a row first; a stale or missing one starts nothing rather than a wrong entry.
  if (row < 0 || row >= static_cast<int>(list_.PlayList.size())) return;
  sequence_.LastEntryStarted = row + 1 == form_.RowCount();
  if (PlayFile(list_.PlayList[row]) || !sequence_.ContinuousPlay || !options_.skipUnplayable)
    return;
  PassOverFailedStart();
}

void TDODEDEV::ToolButton5Click() {
  if (sequence_.ContinuousPlay) {
    SetLabel1Color(Color::Black);
    if (sleep_.SleepAfterListEnd) N22Click();
    form_.SetChecked("N9", false);
    if (playback_.Playing) {
      StopGraph();
      ReleasePlayback();
      form_.SetTrayIcon(kIdleIcon);
      form_.SetTrayHint(VersionText);
    }
    sequence_.ContinuousPlay = false;
    form_.SetLabelText(1, "");
    form_.SetCaption(std::string(kDesignedCaption));
    form_.SetAppTitle(form_.Caption());
    return;
  }

  if (form_.RowCount() == 0) return;
  SetLabel1Color(Color::Blue);
  form_.SetChecked("N9", true);
  sequence_.ContinuousPlay = true;
  playback_.Failures.Reset();
  UpdatePlayMode();
  if (IsRandom(sequence_.ModeCode)) {
    SetPlayListSorted(false);
    ShufflePlayList(true);
    RefreshListBox();
  }
  if (CurrentIndex() == -1) SelectRow(0);
  PlaySelected();
}

void TDODEDEV::N1Click(std::string_view item) {
  ModeChoice& choice = sequence_.Choice;
  if (item == "N1") {
    choice.order = PlayOrder::List;
    ShowModeChecks();
    SetPlayListSorted(true);
    RefreshListBox();
  } else if (item == "N2") {
    SetPlayListSorted(false);
    choice.order = PlayOrder::Random;
    ShowModeChecks();
  } else if (item == "R1" || item == "R2" || item == "R3") {
    choice.repeat = item == "R1"   ? RepeatMode::OneSong
                    : item == "R2" ? RepeatMode::Once
                                   : RepeatMode::Endless;
    ShowModeChecks();
    // An after-the-list sleep can never fire when the list does not end.
    if (item != "R2" && sleep_.SleepAfterListEnd) N22Click();
  }
  UpdatePlayMode();
  PrepareNext();
}

void TDODEDEV::EndOfTrack() {
  if (sequence_.ContinuousPlay) {
    SetLabel1Color(Color::Blue);
    AdvanceAfterTrack();
    return;
  }
  SetLabel1Color(Color::Black);
  SelectRow(-1);
  form_.SetLabelText(1, "");
  form_.SetCaption(std::string(kDesignedCaption));
  form_.SetAppTitle(form_.Caption());
  playback_.ReleasePending = true;
  followOn_ = false;  // what the user does meanwhile starts afresh
  platform_.loop.ProcessMessages();
}

void TDODEDEV::EndRun() {
  playback_.ReleasePending = true;
  sequence_.ContinuousPlay = false;
  SetLabel1Color(Color::Black);
  // The menu's check mark follows the switch, so that it never offers "on" while the run is over.
  form_.SetChecked("N9", false);
  SelectRow(-1);
  form_.SetLabelText(1, "");
  form_.SetCaption(std::string(kDesignedCaption));
}

void TDODEDEV::TrackBrokeDown() {
  TrackFailures& failures = playback_.Failures;
  failures.Count();
  if (!sequence_.ContinuousPlay || !FailuresHaltRun(true)) {
    EndOfTrack();
    return;
  }
  // The run halts on this row as it does when a track cannot be started: the graph goes, the
  // caption says so, and continuous play stays on for the track the user starts next.
  platform_.diagnostics.Warn(std::to_string(failures.inRow) +
                             " tracks in a row failed; the run halts");
  ReleasePlayback();
  form_.SetCaption("再生できませんでした");
  form_.SetAppTitle(form_.Caption());
}

void TDODEDEV::PassOverFailedStart() {
  TrackFailures& failures = playback_.Failures;
  failures.Count();
  if (failures.passingOver) {
    failures.again = true;  // the loop below goes on with the next track
    return;
  }
  failures.passingOver = true;
  do {
    failures.again = false;
    if (FailuresHaltRun(false)) {
      platform_.diagnostics.Warn(std::to_string(failures.inRow) +
                                 " tracks in a row failed; the run halts");
      break;
    }
    AdvanceAfterTrack();
  } while (failures.again);
  failures.passingOver = false;
  // An end of the run inside the loop asked for a release that has nothing left to release.
  if (!Graph) playback_.ReleasePending = false;
}

bool TDODEDEV::FailuresHaltRun(bool midTrack) const {
  const TrackFailures& failures = playback_.Failures;
  if (midTrack && failures.inRow < kMidTrackFailureLimit) return false;
  if (!options_.skipUnplayable) return true;
  // A whole pass failed: the list, or the one song that repeats.
  const int pass = sequence_.ModeCode == PlayMode::OneSong ? 1 : std::max(1, form_.RowCount());
  return failures.inPass >= pass;
}

void TDODEDEV::AdvanceAfterTrack() {
  UpdatePlayMode();
  const AfterTrack step = StepAfterTrack(sequence_.ModeCode);
  switch (step.kind) {
    case AfterTrack::Kind::EndRun:
      EndRun();
      break;
    case AfterTrack::Kind::EndOfList:
      EndRun();
      if (sleep_.SleepAfterListEnd) {
        N22Click();
        RunSleepAction();
      }
      break;
    case AfterTrack::Kind::Row:
      SelectRow(step.row);
      PlaySelected();
      break;
    case AfterTrack::Kind::NewPass:
      playback_.Failures.inPass = 0;
      ShufflePlayList(false);
      RefreshListBox();
      SelectRow(0);
      sequence_.LastEntryStarted = false;
      PlaySelected();
      break;
    case AfterTrack::Kind::Nothing:
      break;
  }
  form_.SetAppTitle(form_.Caption());
}

void TDODEDEV::ToolButton3Click() {
  const int rows = form_.RowCount();
  if (rows == 0) return;
  SelectRow(CurrentIndex() > 0 ? CurrentIndex() - 1 : rows - 1);
  FIListBox1Click();
}

void TDODEDEV::ToolButton7Click() {
  const int rows = form_.RowCount();
  if (rows == 0) return;
  SelectRow(CurrentIndex() + 1 >= rows ? 0 : CurrentIndex() + 1);
  FIListBox1Click();
}

}  // namespace solka
