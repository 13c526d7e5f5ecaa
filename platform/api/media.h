// The playback graph of one track.
//
// Contract:
// - Created, driven and destroyed on the GUI thread only. No call blocks longer than the bounded
//   preroll of RenderFile (a few seconds at most); none throws.
// - One graph plays one file. Destroying it releases everything it holds (threads, files, bus
//   watches) before the destructor returns.
// - The notification set by SetNotify is invoked on the GUI thread, from the event loop (never
//   from inside a call of the core), each time an event has been queued. After SetNotify(nullptr)
//   or destruction it is never invoked again, not even for events queued earlier.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace solka {

// Event codes of the graph's queue.
constexpr int EC_COMPLETE = 1;

class MediaGraph {
 public:
  virtual ~MediaGraph() = default;

  virtual void SetNotify(std::function<void()> notify) = 0;
  // Builds the graph for `path` and waits (bounded) until it is ready to play. False for every
  // failure: a missing or unreadable file, no audio stream, no decoder, a time-out.
  virtual bool RenderFile(const std::string& path) = 0;

  virtual void Run() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;

  // Seconds. Duration is 0 when unknown.
  virtual double Duration() = 0;
  virtual double Position() = 0;
  virtual void SetPosition(double seconds) = 0;
  virtual double Rate() = 0;
  virtual void SetRate(double rate) = 0;
  // Hundredths of a decibel: 0 full, -10000 silent.
  virtual void SetVolume(int hundredthsOfDb) = 0;

  // Next queued event; false when the queue is empty.
  virtual bool GetEvent(int& code) = 0;
};

class MediaBackend {
 public:
  virtual ~MediaBackend() = default;
  virtual std::unique_ptr<MediaGraph> CreateGraph() = 0;
};

}  // namespace solka
