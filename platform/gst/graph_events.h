// What the bus of one graph tells the GUI thread: readiness, failure and the event queue.
//
// The bus's sync handler runs on streaming threads; it only records and queues facts (every end
// of stream, every error once the track has started), and posts a notification to the GUI
// thread. What they mean for the run is the player's decision. The posted closure holds a weak
// reference: once the graph is gone (or its notification is switched off), what it posted earlier
// is dropped.
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

struct GraphEvents : std::enable_shared_from_this<GraphEvents> {
  explicit GraphEvents(std::function<void(std::function<void()>)> postToGui)
      : post(std::move(postToGui)) {}

  // Installs the sync handler on the pipeline's bus; it keeps `events` alive until removed.
  static void Attach(GstElement* pipeline, const std::shared_ptr<GraphEvents>& events);
  // Removes the handler and drops whatever is still on the bus.
  static void Detach(GstElement* pipeline);

  // GUI thread: waits until the pipeline is ready to play or has failed; false for a failure or
  // a time-out.
  bool WaitUntilReady(std::chrono::milliseconds timeout);
  // GUI thread: the track counts as started; from now on an error is queued as a Failed event.
  // False when it failed in the meantime.
  bool MarkStarted();
  // GUI thread: what made the start fail, in GStreamer's words; empty when it said nothing.
  std::string StartFailure();
  bool Pop(MediaEvent& event);

  // Streaming threads (and whichever thread posts on the bus).
  void Handle(GstMessage* message);

  std::function<void()> notify;  // GUI thread only

 private:
  void PostNotification();

  std::function<void(std::function<void()>)> post;
  GstElement* pipeline_ = nullptr;  // compared only, never used: the graph owns it
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<MediaEvent> queue_;
  std::string startFailure_;
  bool ready_ = false;
  bool failed_ = false;
  bool started_ = false;
};

}  // namespace solka
