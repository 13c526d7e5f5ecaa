// The playback graph on GStreamer: one decoding bin per track. A track started afresh gets an
// output stream of its own; a follower prepared behind it joins that stream, without a gap.
//
// The Qt program builds the back end with a function that runs a closure on the GUI thread
// (a queued call); the back end calls it from GStreamer's streaming threads, so it must be
// thread-safe:
//   GstMediaBackend media([](std::function<void()> f) {
//     QMetaObject::invokeMethod(qApp, std::move(f), Qt::QueuedConnection);
//   });
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/api/media.h"

namespace solka {

class AudioOutput;
class OutputOpening;
struct GstGraphServices;

using PostToGui = std::function<void(std::function<void()>)>;

struct GstMediaOptions {
  // A gst-launch bin description of the output. Empty: the desktop's default output.
  std::string audioSink;
  // How long a graph may take to become ready to play before the file counts as unplayable.
  std::chrono::milliseconds prerollTimeout{5000};
  // What decides whether the output opens (see AudioOutput); empty: the sound devices and
  // servers of this machine.
  std::function<std::string()> soundEnvironment;
  // The output's opening begun at start-up (GstEarlyStart::Output), if any.
  std::shared_ptr<OutputOpening> begunOutput;
};

// Starts GStreamer, opens the output `audioSink` (as GstMediaOptions), loads the plugins that
// every track needs and sets up their element classes on a thread of its own, so that this work
// overlaps with the toolkit's start and the window's construction instead of adding to them.
// Optional: the back end starts whatever is not started yet. Joined on destruction, except for
// the output's opening, which may wait for a sound server.
class GstEarlyStart {
 public:
  explicit GstEarlyStart(std::string audioSink);
  ~GstEarlyStart();
  GstEarlyStart(const GstEarlyStart&) = delete;
  GstEarlyStart& operator=(const GstEarlyStart&) = delete;

  // The output's opening, for GstMediaOptions::begunOutput.
  std::shared_ptr<OutputOpening> Output() const { return output_; }

 private:
  std::shared_ptr<OutputOpening> output_;
  std::thread thread_;
};

class GstMediaBackend : public MediaBackend {
 public:
  explicit GstMediaBackend(PostToGui postToGui, GstMediaOptions options = {});
  ~GstMediaBackend() override;
  std::unique_ptr<MediaGraph> CreateGraph() override;

 private:
  GstMediaOptions options_;
  std::unique_ptr<AudioOutput> output_;
  std::shared_ptr<const GstGraphServices> services_;
  std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
};

}  // namespace solka
