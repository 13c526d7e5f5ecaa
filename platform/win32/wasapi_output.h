// The player's one sound output: a shared-mode, event-driven stream on the default device that
// outlives the tracks. Tracks play in lanes: a track started afresh opens a lane, a follower
// joins its predecessor's and its first frame follows the last one's in the same period. The
// output converts each track's rate and channels to the device's mix format, applies its level
// and speed (the speed resamples, so the pitch follows it), and sums the lanes.
//
// Its own thread (a multi-threaded COM apartment) owns the device. A device that goes away or a
// new default device re-opens the stream on the default device; the tracks wait meanwhile.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win32/track_feed.h"

struct IAudioClient;
struct IAudioRenderClient;
struct IMMDeviceEnumerator;

namespace solka {

class DeviceWatch;

class WasapiOutput {
 public:
  // `ended` is called on the output's thread when a track's last frame has been taken (with a
  // track behind it in its lane) or heard (without one).
  explicit WasapiOutput(std::function<void(std::uint64_t serial)> ended);
  ~WasapiOutput();
  WasapiOutput(const WasapiOutput&) = delete;
  WasapiOutput& operator=(const WasapiOutput&) = delete;

  // Whether a device stream is open or was opened once (waits, bounded, for the first try).
  bool Usable();

  // A new lane for the track, held until Resume.
  void Start(const std::shared_ptr<TrackFeed>& feed);
  // Behind `after` in its lane; false when that lane's end has been announced (too late).
  bool Follow(const std::shared_ptr<TrackFeed>& after, const std::shared_ptr<TrackFeed>& feed);
  void Remove(const TrackFeed& feed);
  // Pause or resume the lane the track is in.
  void Hold(const TrackFeed& feed, bool paused);
  // Whether the track is the one its lane plays now.
  bool Plays(const TrackFeed& feed);
  // Ask for the stream to be opened again on the default device (as on a device change).
  void Reopen();
  // How many times a stream has been opened.
  int Opens() const { return opens_; }
  // How many times a lane's sound has run out with no track behind it (each is silence).
  int RunOuts() const { return runOuts_; }
  // Sees each period's mix (interleaved, the stream's rate and channels) on the output's thread,
  // for tests and measurements.
  using Tap = std::function<void(const float* mix, std::size_t frames, int rate, int channels)>;
  void SetTap(Tap tap);

 private:
  struct Lane;
  void Loop();
  bool Open();
  void Close();
  // Mixes up to `frames` frames; how many it could.
  std::uint32_t Render(float* mix, std::uint32_t frames, std::uint64_t played);
  bool Pull(Lane& lane, float* frame);
  Lane* LaneOf(const TrackFeed& feed);  // under the lock

  std::function<void(std::uint64_t)> ended_;
  std::mutex mutex_;
  Tap tap_;
  std::vector<std::unique_ptr<Lane>> lanes_;
  HANDLE wake_ = nullptr, audio_ = nullptr;
  std::atomic<bool> quit_{false}, reopen_{false};
  std::atomic<int> opens_{0};
  std::atomic<int> runOuts_{0};
  std::atomic<int> tried_{0};
  // The stream (output thread only).
  IMMDeviceEnumerator* devices_ = nullptr;
  DeviceWatch* watch_ = nullptr;
  IAudioClient* client_ = nullptr;
  IAudioRenderClient* render_ = nullptr;
  std::uint32_t bufferFrames_ = 0;
  int outRate_ = 0, outChannels_ = 0;
  bool outFloat_ = true;
  bool running_ = false;
  bool buffered_ = false;  // written since the last reset
  std::uint64_t written_ = 0;
  std::vector<float> mix_;
  std::thread thread_;
};

}  // namespace solka
