// One lane of the player's output: the tracks that play one after another in it, and what the
// output holds of them between two periods. The output's thread alone touches it, under the
// output's lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/win32/wasapi_output.h"

namespace solka {

struct WasapiOutput::Lane {
  std::vector<std::shared_ptr<TrackFeed>> feeds;  // the first plays; a finished one leaves
  bool paused = true;
  bool draining = false;  // the last track's last frame is in the device's buffer
  bool endPosted = false;
  std::uint64_t drainAt = 0;  // the stream's frame count when it has been heard
  std::uint32_t generation = 0;
  std::vector<float> stage;
  std::size_t stagePos = 0, stageEnd = 0;
  std::vector<float> x0, x1;  // the frames the output interpolates between
  int have = 0;
  double frac = 0.0;

  void Forget() {
    stagePos = stageEnd = 0;
    have = 0;
    frac = 0.0;
    draining = endPosted = false;
  }
};

}  // namespace solka
