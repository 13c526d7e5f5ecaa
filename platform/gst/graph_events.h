// What one track's graph tells the GUI thread: readiness, failure and the event queue.
//
// The output's bus handler and pad probes run on streaming threads; they only record facts here
// (readiness, every end of stream, every error once the track has started) and post a
// notification to the GUI thread. What they mean for the run is the player's decision. The
// posted closure holds a weak reference: once the graph is gone (or its notification is switched
// off), what it posted earlier is dropped.
#pragma once

#include <gst/gst.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/api/media.h"

namespace solka {

// A failure a bus message reports, on one line: an error, or a stream without a decoder (which
// would play only in part). Empty for any other message.
std::string FailureText(GstMessage* message, bool& missingPlugin);

struct GraphEvents : std::enable_shared_from_this<GraphEvents> {
  explicit GraphEvents(std::function<void(std::function<void()>)> postToGui)
      : post(std::move(postToGui)) {}

  // Any thread.
  void Ready();
  // An error: before the start it fails the start (the first one is the cause); after, it is
  // queued. A missing decoder matters only before the start.
  void Failure(const std::string& reason, bool missingPlugin);
  void Ended();
  // The output went away under a started track: a notification, so that the graph opens
  // another one. Before the start it fails the start.
  void OutputLost(const std::string& reason);
  bool Started();

  // GUI thread: waits until the track is ready to play or has failed; false for a failure or a
  // time-out. `giveUp` is asked now and then: true ends the wait early.
  bool WaitUntilReady(std::chrono::milliseconds timeout, const std::function<bool()>& giveUp);
  // GUI thread: the track counts as started; from now on an error is queued as a Failed event.
  // False when it failed in the meantime.
  bool MarkStarted();
  // GUI thread: what made the start fail, in GStreamer's words; empty when it said nothing.
  std::string StartFailure();
  bool Failed();
  // GUI thread: whether the output was lost since the last call, and why.
  bool TakeLost(std::string& reason);
  bool Pop(MediaEvent& event);

  std::function<void()> notify;  // GUI thread only

 private:
  void Queue(MediaEvent event);
  void Notify();

  std::function<void(std::function<void()>)> post;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<MediaEvent> queue_;
  std::string startFailure_;
  std::string lost_;  // why the output was lost; empty while it was not
  bool ready_ = false;
  bool failed_ = false;
  bool started_ = false;
};

}  // namespace solka
