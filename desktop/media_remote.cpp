#include "desktop/media_remote.h"

#include <cmath>

#include "app/single_instance.h"
#include "app/tdodedev.h"
#include "form/commands.h"

namespace solka {

namespace {
constexpr double kSilent = -10000.0;
}  // namespace

// A seek to any position and a chosen speed: requests that no control of the window makes.
void TDODEDEV::SeekFromDesktop(double seconds) {
  if (!playback_.Playing || !std::isfinite(seconds)) return;
  const double duration = Duration();
  // The end itself is left to the end-of-track step; a position beyond it means nothing.
  if (seconds < 0) seconds = 0;
  if (duration > 0 && seconds >= duration) return;
  Seek(seconds);
}

void TDODEDEV::SetRateFromDesktop(double rate) {
  if (!playback_.Playing || !std::isfinite(rate)) return;
  // Only the speed label's steps: any other factor would leave its cycle without a place.
  double nearest = kPlayerSpeeds[0];
  for (double speed : kPlayerSpeeds)
    if (std::abs(speed - rate) < std::abs(nearest - rate)) nearest = speed;
  if (Rate() != nearest) SetRate(nearest);
}

RemoteState PlayerRemote::Read() const {
  RemoteState state;
  const PlaybackState& playback = player_.Playback();
  state.closing = player_.Window().Closing;
  state.hasTracks = player_.Form().RowCount() > 0;
  // A level read from the settings file may lie anywhere; the bus knows only 0 to 1.
  state.volume = std::fmin(std::fmax((playback.Volume - kSilent) / -kSilent, 0.0), 1.0);
  if (!playback.Playing) return state;
  state.status = playback.Paused ? RemoteStatus::Paused : RemoteStatus::Playing;
  state.path = playback.PlayingPath;
  state.title = playback.PlayingTitle;
  state.length = player_.Duration();
  state.position = player_.Position();
  state.rate = player_.Rate();
  return state;
}

// The tool bar's next and previous buttons.
void PlayerRemote::Next() {
  commands_.Click("ToolButton7");
}
void PlayerRemote::Previous() {
  commands_.Click("ToolButton3");
}

// The pause button: pauses, resumes, or starts the selected (else the first) row.
void PlayerRemote::PlayPause() {
  commands_.Click("pauseButton");
}

void PlayerRemote::Play() {
  if (!player_.Playback().Playing)
    commands_.Click("pauseButton");
  else if (player_.Playback().Paused)
    commands_.Click("N17");
}

// The tray menu's pause item, which never starts a track.
void PlayerRemote::Pause() {
  if (player_.Playback().Playing && !player_.Playback().Paused) commands_.Click("N17");
}

void PlayerRemote::Stop() {
  commands_.Click("ToolButton9");
}

void PlayerRemote::SeekTo(double seconds) {
  player_.SeekFromDesktop(seconds);
}

void PlayerRemote::SetVolume(double level) {
  if (!std::isfinite(level)) return;
  const double clamped = std::fmin(std::fmax(level, 0.0), 1.0);
  player_.SetVolumeLevel(std::llround(kSilent + clamped * -kSilent));
}

void PlayerRemote::SetRate(double rate) {
  player_.SetRateFromDesktop(rate);
}

// The tray menu's item that shows the window again.
void PlayerRemote::Raise() {
  commands_.Click("N11");
}

void PlayerRemote::Open(const std::string& path) {
  player_.WMCopyData({kHandOverData, path});
}

}  // namespace solka
