#include "desktop/media_remote.h"

#include <cmath>
#include <iterator>

#include "app/single_instance.h"
#include "app/tdodedev.h"
#include "form/commands.h"
#include "playback/play_mode.h"

namespace solka {

namespace {
constexpr double kSilent = -10000.0;

// The desktop's volume controls take their 0 to 1 as the cube root of the linear gain, so that
// half way sounds half as loud (about -18 dB). The design's silence is 0 both ways.
double LevelFromHundredthsOfDb(double volume) {
  if (volume <= kSilent) return 0.0;
  return std::fmin(std::pow(10.0, volume / 6000.0), 1.0);
}

long long HundredthsOfDbFromLevel(double level) {
  if (level <= 0.0) return static_cast<long long>(kSilent);
  return std::llround(std::fmax(6000.0 * std::log10(std::fmin(level, 1.0)), kSilent));
}
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
  if (!playback_.Playing || std::isnan(rate)) return;
  // Only the speed label's steps: any other factor would leave its cycle without a place. The
  // nearest is found against the midpoints between steps, since a distance from a huge factor
  // loses the steps' differences to rounding.
  double nearest = kPlayerSpeeds[std::size(kPlayerSpeeds) - 1];
  for (std::size_t i = 0; i + 1 < std::size(kPlayerSpeeds); ++i) {
    if (rate < (kPlayerSpeeds[i] + kPlayerSpeeds[i + 1]) / 2) {
      nearest = kPlayerSpeeds[i];
      break;
    }
  }
  if (Rate() != nearest) SetRate(nearest);
}

void TDODEDEV::StepFromDesktop(int step) {
  const int rows = form_.RowCount();
  if (rows == 0) return;
  const int row = CurrentIndex();
  // Past the last row of a list that plays once there is no next track.
  if (step > 0 && row + 1 >= rows && PlaysOnce(sequence_.ModeCode)) {
    ToolButton9Click();
    return;
  }
  // Stopped: the row waits for play, as it does after a stop.
  if (!playback_.Playing) {
    if (step > 0) SelectRow(row + 1 >= rows ? 0 : row + 1);
    if (step < 0) SelectRow(row > 0 ? row - 1 : rows - 1);
    return;
  }
  const bool paused = playback_.Paused;
  if (step > 0) ToolButton7Click();
  if (step < 0) ToolButton3Click();
  if (paused && playback_.Playing && !playback_.Paused) PauseOrResume();
}

MediaTags TDODEDEV::TrackTags() {
  return Graph && playback_.Playing ? Graph->Tags() : MediaTags{};
}

RemoteState PlayerRemote::Read() const {
  RemoteState state;
  const PlaybackState& playback = player_.Playback();
  state.closing = player_.Window().Closing;
  state.hasTracks = player_.Form().RowCount() > 0;
  // A level read from the settings file may lie anywhere; the bus knows only 0 to 1.
  state.volume = player_.Muted() ? 0.0 : LevelFromHundredthsOfDb(playback.Volume);
  if (!playback.Playing) return state;
  state.status = playback.Paused ? RemoteStatus::Paused : RemoteStatus::Playing;
  state.path = playback.PlayingPath;
  state.title = playback.PlayingTitle;
  state.tags = player_.TrackTags();
  state.length = player_.Duration();
  state.position = player_.Position();
  state.rate = player_.Rate();
  return state;
}

void PlayerRemote::Next() {
  player_.StepFromDesktop(1);
}
void PlayerRemote::Previous() {
  player_.StepFromDesktop(-1);
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
  if (std::isnan(level)) return;
  player_.SetVolumeLevel(HundredthsOfDbFromLevel(level));
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
