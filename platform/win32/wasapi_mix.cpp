// The output's mixing: each lane's tracks in turn, converted to the stream's rate and channels
// at their level and speed, summed; and the lanes' comings and goings.
#include <algorithm>
#include <utility>

#include "platform/win32/output_lane.h"
#include "platform/win32/wasapi_output.h"

namespace solka {

namespace {
constexpr std::size_t kStageFrames = 512;
}  // namespace

bool WasapiOutput::Pull(Lane& lane, float* frame) {
  while (!lane.feeds.empty()) {
    TrackFeed& feed = *lane.feeds.front();
    const int in = feed.Format().channels;
    if (lane.generation != feed.Generation()) {
      // A seek: what is held is of the old position.
      lane.generation = feed.Generation();
      lane.Forget();
      feed.drained = false;
    }
    if (lane.stagePos == lane.stageEnd) {
      lane.stage.resize(kStageFrames * in);
      lane.stageEnd = feed.Read(lane.stage.data(), kStageFrames);
      lane.stagePos = 0;
    }
    if (lane.stagePos < lane.stageEnd) {
      const float* s = &lane.stage[lane.stagePos++ * in];
      const float gain = feed.gain;
      for (int c = 0; c < outChannels_; ++c) {
        float v;
        if (in == outChannels_ || (in > outChannels_ && outChannels_ > 1)) {
          v = c < in ? s[c] : 0.0f;
        } else if (in == 1) {
          v = s[0];
        } else if (outChannels_ == 1) {
          v = 0.0f;
          for (int k = 0; k < in; ++k) v += s[k];
          v /= static_cast<float>(in);
        } else {
          v = c < in ? s[c] : 0.0f;  // more channels out: the track's own, the rest silent
        }
        frame[c] = v * gain;
      }
      feed.Consumed(1);
      return true;
    }
    if (!feed.Exhausted()) return false;  // the decoder is behind: silence until it catches up
    if (lane.feeds.size() == 1) return false;
    // Its last frame is taken and the next track is there: its first frame comes right now.
    feed.drained = true;
    ended_(feed.Serial());
    lane.feeds.erase(lane.feeds.begin());
    lane.stagePos = lane.stageEnd = 0;
    lane.generation = lane.feeds.front()->Generation();
  }
  return false;
}

std::uint32_t WasapiOutput::Render(float* mix, std::uint32_t frames, std::uint64_t played) {
  // As far as the lanes have data: a decoder that is behind leaves the device's buffer to run
  // lower instead of filling it with silence that would be heard.
  std::uint32_t furthest = 0;
  for (auto& owned : lanes_) {
    Lane& lane = *owned;
    if (lane.draining && !lane.endPosted && played >= lane.drainAt && !lane.feeds.empty()) {
      lane.endPosted = true;
      lane.feeds.front()->drained = true;
      ended_(lane.feeds.front()->Serial());
    }
    if (lane.paused || lane.feeds.empty()) continue;
    if (lane.x0.size() != static_cast<std::size_t>(outChannels_)) {
      lane.x0.assign(outChannels_, 0.0f);
      lane.x1.assign(outChannels_, 0.0f);
      lane.have = 0;
    }
    std::uint32_t produced = 0;
    bool starved = false;
    while (produced < frames && !starved) {
      while (lane.have < 2 || lane.frac >= 1.0) {
        if (lane.have == 2 && lane.frac >= 1.0) {
          std::swap(lane.x0, lane.x1);
          lane.have = 1;
          lane.frac -= 1.0;
          continue;
        }
        if (!Pull(lane, lane.have == 0 ? lane.x0.data() : lane.x1.data())) {
          starved = true;
          break;
        }
        ++lane.have;
      }
      if (starved || lane.feeds.empty()) break;
      const TrackFeed& feed = *lane.feeds.front();
      float* out = mix + static_cast<std::size_t>(produced) * outChannels_;
      const auto t = static_cast<float>(lane.frac);
      for (int c = 0; c < outChannels_; ++c) out[c] += lane.x0[c] + (lane.x1[c] - lane.x0[c]) * t;
      lane.frac += feed.Format().rate * feed.speed / outRate_;
      ++produced;
    }
    furthest = std::max(furthest, produced);
    if (starved && !lane.draining && lane.feeds.size() == 1 && lane.feeds.front()->Exhausted()) {
      lane.draining = true;
      lane.drainAt = written_ + produced;
      ++runOuts_;
    }
  }
  return furthest;
}

WasapiOutput::Lane* WasapiOutput::LaneOf(const TrackFeed& feed) {
  for (auto& lane : lanes_)
    for (const auto& f : lane->feeds)
      if (f.get() == &feed) return lane.get();
  return nullptr;
}

void WasapiOutput::Start(const std::shared_ptr<TrackFeed>& feed) {
  {
    std::lock_guard lock(mutex_);
    auto lane = std::make_unique<Lane>();
    lane->feeds.push_back(feed);
    lane->generation = feed->Generation();
    lanes_.push_back(std::move(lane));
  }
  SetEvent(wake_);
}

bool WasapiOutput::Follow(const std::shared_ptr<TrackFeed>& after,
                          const std::shared_ptr<TrackFeed>& feed) {
  std::lock_guard lock(mutex_);
  Lane* lane = LaneOf(*after);
  // While the last track's end is still in the device's buffer, a track that joins now still
  // follows it without a gap; once its end has been announced, it comes too late.
  if (!lane || lane->endPosted) return false;
  lane->draining = false;
  lane->feeds.push_back(feed);
  return true;
}

void WasapiOutput::Remove(const TrackFeed& feed) {
  std::lock_guard lock(mutex_);
  for (auto it = lanes_.begin(); it != lanes_.end(); ++it) {
    auto& feeds = (*it)->feeds;
    const auto at =
        std::find_if(feeds.begin(), feeds.end(), [&](const auto& f) { return f.get() == &feed; });
    if (at == feeds.end()) continue;
    if (at == feeds.begin()) (*it)->Forget();
    feeds.erase(at);
    if (feeds.empty()) {
      lanes_.erase(it);
    } else {
      (*it)->generation = feeds.front()->Generation();
    }
    return;
  }
}

void WasapiOutput::Hold(const TrackFeed& feed, bool paused) {
  {
    std::lock_guard lock(mutex_);
    if (Lane* lane = LaneOf(feed)) lane->paused = paused;
  }
  SetEvent(wake_);
}

bool WasapiOutput::Plays(const TrackFeed& feed) {
  std::lock_guard lock(mutex_);
  Lane* lane = LaneOf(feed);
  return lane && lane->feeds.front().get() == &feed;
}

void WasapiOutput::SetTap(Tap tap) {
  std::lock_guard lock(mutex_);
  tap_ = std::move(tap);
}

}  // namespace solka
