// What the player keeps about failing tracks: whether the current graph has already ended, and
// how many tracks in a row have failed, which halts a continuous run that would otherwise cycle
// through a list it cannot play (a device that is gone, a folder of damaged files).
#pragma once

namespace solka {

// Tracks in a row that may break down in mid-track before the run halts.
constexpr int kMidTrackFailureLimit = 3;

struct TrackFailures {
  bool ended = false;  // the current graph ended or broke down since its start or last seek
  int inRow = 0;       // tracks that failed one after another; a track that plays out resets it
  // Those of them since the current pass began: a new random pass may first bring back the rows
  // that failed at the end of the last one, so only these show that a whole pass failed.
  int inPass = 0;
  // Passing over failed starts (SkipUnplayable): an advance that fails again inside the loop
  // sets `again` instead of recursing, so a long list of failures never deepens the stack.
  bool passingOver = false;
  bool again = false;

  void Count() { ++inRow, ++inPass; }
  void Reset() { inRow = inPass = 0; }
};

}  // namespace solka
