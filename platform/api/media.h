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
#include <utility>

namespace solka {

// What a graph reports once it plays: facts only. What they mean for the run (an error in
// mid-track ends the track, how many failures in a row halt it) is the player's decision.
struct MediaEvent {
  enum class Kind {
    Ended,   // the data ran out: end of stream
    Failed,  // playback broke down in mid-track; more may follow for the same breakdown
  };
  Kind kind = Kind::Ended;
  std::string reason;  // Failed: what went wrong, in the back end's words, on one line
};

// What a track's own tags say (UTF-8), each empty where the file says nothing.
struct MediaTags {
  std::string title;
  std::string artist;
  std::string album;
  bool operator==(const MediaTags&) const = default;
};

// The outcome of RenderFile.
struct RenderResult {
  bool ok = false;
  std::string reason;  // when not ok: why, on one line, in the back end's words

  static RenderResult Success() { return {true, {}}; }
  static RenderResult Failure(std::string why) { return {false, std::move(why)}; }
  explicit operator bool() const { return ok; }
};

class MediaGraph {
 public:
  virtual ~MediaGraph() = default;

  virtual void SetNotify(std::function<void()> notify) = 0;
  // Builds the graph for `path` and waits (bounded) until it is ready to play. Fails, with the
  // reason, for every failure: a missing or unreadable file, no audio stream, no decoder, a
  // time-out. Whatever goes wrong after a success is reported as a Failed event.
  virtual RenderResult RenderFile(const std::string& path) = 0;

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
  // The track's tags as far as the stream has given them (those at its start are there once
  // RenderFile has succeeded). A back end that reads none leaves them empty.
  virtual MediaTags Tags() { return {}; }

  // Next queued event, in the order they happened; false when the queue is empty.
  virtual bool GetEvent(MediaEvent& event) = 0;
};

class MediaBackend {
 public:
  virtual ~MediaBackend() = default;
  virtual std::unique_ptr<MediaGraph> CreateGraph() = 0;
};

}  // namespace solka
