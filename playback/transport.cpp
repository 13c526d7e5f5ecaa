// The user's direct handles on the playing track: pause and resume, stop, skip, speed, volume
// and mute, and the window's keyboard shortcuts.
#include <algorithm>
#include <string>

#include "app/tdodedev.h"
#include "form/layout.h"
#include "playback/tray_icons.h"

namespace solka {

namespace {
constexpr std::string_view kPausePrefix = "[Pause] ";
constexpr const char* kMuteMark = "--";
constexpr int kVolumeStep = 100;
constexpr int kSilent = -10000;
constexpr double kSkipSeconds = 10.0;

}  // namespace

void TDODEDEV::PauseOrResume() {
  if (playback_.Paused) {
    form_.SetTrayIcon(kPlayingIcon);
    // Only the prefix the pause put there goes; a caption without it is left whole.
    std::string caption = form_.Caption();
    if (caption.starts_with(kPausePrefix)) caption.erase(0, kPausePrefix.size());
    form_.SetCaption(std::move(caption));
    form_.SetTrayHint(TrayHintFromCaption());
    ResumeGraph();
    playback_.Paused = false;
  } else {
    PauseGraph();
    form_.SetTrayIcon(kIdleIcon);
    form_.SetTrayHint("Pause");
    form_.SetCaption(std::string(kPausePrefix) + form_.Caption());
    playback_.Paused = true;
  }
  UpdateIdleLock();
}

bool TDODEDEV::Muted() const {
  return form_.Label(3).text == kMuteMark;
}

void TDODEDEV::StepVolume(int step) {
  // Wide arithmetic: a level read from the settings file may lie anywhere.
  SetVolumeLevel(static_cast<long long>(playback_.Volume) + step);
}

void TDODEDEV::pauseButtonClick() {
  if (!playback_.Playing) {
    if (form_.RowCount() == 0) return;
    if (CurrentIndex() == -1) SelectRow(0);
    FIListBox1Click();
    return;
  }
  PauseOrResume();
}

void TDODEDEV::N17Click() {
  if (playback_.Playing) PauseOrResume();
}

void TDODEDEV::ToolButton9MouseDown(bool rightButtonPressed) {
  if (rightButtonPressed) N17Click();
}

void TDODEDEV::ToolButton9Click() {
  if (playback_.Playing) {
    form_.SetLabelText(1, "");
    form_.SetCaption(std::string(kDesignedCaption));
    form_.SetAppTitle(form_.Caption());
    form_.SetWindowHint("");
    StopGraph();
    if (sleep_.SleepAfterListEnd) N22Click();
    form_.SetChecked("N9", false);
    ReleasePlayback();
    if (sequence_.ContinuousPlay) {
      sequence_.ContinuousPlay = false;
      SetLabel1Color(Color::Black);
    }
  }
  form_.SetTrayIcon(kIdleIcon);
  form_.SetTrayHint(VersionText);
}

void TDODEDEV::Label1Click() {
  if (!playback_.Playing) return;
  const double duration = Duration();
  const double target = Position() + kSkipSeconds;
  if (target < duration) Seek(target);
}

void TDODEDEV::Label2Click() {
  if (!playback_.Playing) return;
  const double rate = Rate();
  if (rate == 1.0) {
    SetRate(1.5);
  } else if (rate == 1.5) {
    SetRate(0.8);
  } else {
    SetRate(1.0);
  }
}

void TDODEDEV::FormMouseWheelUp() {
  if (!window_.MouseOverList) StepVolume(kVolumeStep);
}

void TDODEDEV::FormMouseWheelDown() {
  if (!window_.MouseOverList) StepVolume(-kVolumeStep);
}

void TDODEDEV::SetVolumeLevel(long long hundredthsOfDb) {
  playback_.Volume = static_cast<int>(std::clamp<long long>(hundredthsOfDb, kSilent, 0));
  if (playback_.Playing) SetVolume(playback_.Volume);
  ShowVolume();
  // The prepared track takes the level from its first sample: prepared again at the new one.
  if (Next) {
    DropNext();
    PrepareNext();
  }
}

void TDODEDEV::Label3DblClick() {
  if (window_.MouseOverList || !playback_.Playing) return;
  if (form_.Label(3).text != kMuteMark) {
    SetVolume(kSilent);
    form_.SetLabelText(3, kMuteMark);
  } else {
    SetVolume(playback_.Volume);
    ShowVolume();
  }
}

void TDODEDEV::FormKeyDown(KeyCode key) {
  switch (key) {
    case KeyCode::F1:
      test1Click();
      break;
    case KeyCode::Escape:
      ToolButton9Click();
      break;
    case KeyCode::Space:
      pauseButtonClick();
      break;
    // With the list in sight, the arrows belong to the list box.
    case KeyCode::Up:
      if (window_.CompactView && !window_.InTray) ToolButton3Click();
      break;
    case KeyCode::Down:
      if (window_.CompactView && !window_.InTray) ToolButton7Click();
      break;
    case KeyCode::F4:
      listmode1Click();
      break;
    case KeyCode::F5:
      ToolButton1Click();
      break;
    case KeyCode::F8:
      ToolButton5Click();
      break;
    case KeyCode::Other:
      break;
  }
}

}  // namespace solka
