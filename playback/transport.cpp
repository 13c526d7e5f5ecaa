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

void PauseOrResume(TDODEDEV& player) {
  MainForm& form = player.Form;
  if (player.Paused) {
    form.SetTrayIcon(kPlayingIcon);
    // Only the prefix the pause put there goes; a caption without it is left whole.
    std::string caption = form.Caption();
    if (caption.starts_with(kPausePrefix)) caption.erase(0, kPausePrefix.size());
    form.SetCaption(std::move(caption));
    form.SetTrayHint(player.TrayHintFromCaption());
    player.ResumeGraph();
    player.Paused = false;
  } else {
    player.PauseGraph();
    form.SetTrayIcon(kIdleIcon);
    form.SetTrayHint("Pause");
    form.SetCaption(std::string(kPausePrefix) + form.Caption());
    player.Paused = true;
  }
}

void StepVolume(TDODEDEV& player, int step) {
  // Wide arithmetic and both bounds: a level read from the settings file may lie anywhere.
  const long long wanted = static_cast<long long>(player.Volume) + step;
  player.Volume = static_cast<int>(std::clamp<long long>(wanted, kSilent, 0));
  if (player.Playing) player.SetVolume(player.Volume);
  player.ShowVolume();
}
}  // namespace

void TDODEDEV::pauseButtonClick() {
  if (!Playing) {
    if (Form.RowCount() == 0) return;
    if (CurrentIndex() == -1) SelectRow(0);
    FIListBox1Click();
    return;
  }
  PauseOrResume(*this);
}

void TDODEDEV::N17Click() {
  if (Playing) PauseOrResume(*this);
}

void TDODEDEV::ToolButton9MouseDown(bool rightButtonPressed) {
  if (rightButtonPressed) N17Click();
}

void TDODEDEV::ToolButton9Click() {
  if (Playing) {
    Form.SetLabelText(1, "");
    Form.SetCaption(std::string(kDesignedCaption));
    Form.SetAppTitle(Form.Caption());
    Form.SetWindowHint("");
    StopGraph();
    if (SleepAfterListEnd) N22Click();
    Form.SetChecked("N9", false);
    ReleasePlayback();
    if (ContinuousPlay) {
      ContinuousPlay = false;
      SetLabel1Color(Color::Black);
    }
  }
  Form.SetTrayIcon(kIdleIcon);
  Form.SetTrayHint(VersionText);
}

void TDODEDEV::Label1Click() {
  if (!Playing) return;
  const double duration = Duration();
  const double target = Position() + kSkipSeconds;
  if (target < duration) Seek(target);
}

void TDODEDEV::Label2Click() {
  if (!Playing) return;
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
  if (!MouseOverList) StepVolume(*this, kVolumeStep);
}

void TDODEDEV::FormMouseWheelDown() {
  if (!MouseOverList) StepVolume(*this, -kVolumeStep);
}

void TDODEDEV::Label3DblClick() {
  if (MouseOverList || !Playing) return;
  if (Form.Label(3).text != kMuteMark) {
    SetVolume(kSilent);
    Form.SetLabelText(3, kMuteMark);
  } else {
    SetVolume(Volume);
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
      if (CompactView && !InTray) ToolButton3Click();
      break;
    case KeyCode::Down:
      if (CompactView && !InTray) ToolButton7Click();
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
