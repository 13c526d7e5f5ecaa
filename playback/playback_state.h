// What playback and sequencing hold between events. Plain data: the player changes it in its
// handlers; everyone else reads it through TDODEDEV::Playback() and TDODEDEV::Sequence().
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "playback/play_mode.h"
#include "playback/track_failures.h"

namespace solka {

struct PlaybackState {
  // A started graph exists exactly while this is set; only PlayFile and ReleasePlayback change
  // either (TDODEDEV::SetGraph).
  bool Playing = false;
  bool Paused = false;
  bool ReleasePending = false;  // the finished graph goes after the event drain
  int Volume = 0;               // hundredths of a decibel
  std::string DurationText;     // " / m:ss" of the current track
  TrackFailures Failures;       // how the current track and the last ones failed
  std::string PlayingPath;      // the file of the current graph and its title; empty when none
  std::string PlayingTitle;
  std::string PreparedPath;  // the file prepared to follow without a gap; empty when none
};

struct SequenceState {
  bool ContinuousPlay = false;
  PlayMode ModeCode = PlayMode::ListOnce;  // JukeMode
  ModeChoice Choice;                       // the checked order-of-play items
  bool LastEntryStarted = false;
  // The order of the next random pass, drawn in advance so that its first track can be prepared.
  std::optional<std::uint32_t> NextPassSeed;
};

}  // namespace solka
