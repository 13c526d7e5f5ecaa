// The playback graph of one track.
//
// Contract:
// - Created, driven and destroyed on the GUI thread only. No call blocks longer than the bounded
//   preroll of RenderFile (a few seconds at most); none throws.
// - One graph plays one file. Destroying it releases everything it holds (threads, files, bus
//   watches) before the destructor returns; what it shares with a follower (the output stream)
//   goes with the last of them.
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
  // Hundredths of a decibel: 0 full, -10000 silent. May be called before RenderFile; the level
  // then applies from the first sample the output receives.
  virtual void SetVolume(int hundredthsOfDb) = 0;
  // The track's tags as far as the stream has given them (those at its start are there once
  // RenderFile has succeeded). A back end that reads none leaves them empty.
  virtual MediaTags Tags() { return {}; }

  // Next queued event, in the order they happened; false when the queue is empty.
  virtual bool GetEvent(MediaEvent& event) = 0;

  // Gapless continuation; a back end need not offer it. A follower is a graph of its own (its
  // own position, length, rate, volume, events and failure reason) whose track is to follow this
  // one in the same output stream, its first sample right after this one's last. The caller sets
  // it up as any graph (SetVolume, SetNotify) and calls Prepare, which starts the decoding in the
  // background and returns at once. At its turn (this graph has reported Ended) the caller
  // starts it as any graph: RenderFile with the same path waits, bounded, for the preparation and
  // returns its outcome (a failure with its reason, as a failed start), the track then already
  // playing. A follower used in any other way, or one that could not join this output in time,
  // is an ordinary graph: RenderFile builds it afresh. While a follower is prepared, this graph
  // reports Ended once its last sample has gone to the output, not after the output has drained.
  // Destroying a follower before its turn leaves this graph playing.
  // Null: not offered (now or at all); every track then starts afresh.
  virtual std::unique_ptr<MediaGraph> CreateFollower() { return nullptr; }
  // On a follower: starts preparing `path` behind its predecessor. Elsewhere: nothing.
  virtual void Prepare(const std::string& path) { (void)path; }
};

class MediaBackend {
 public:
  virtual ~MediaBackend() = default;
  virtual std::unique_ptr<MediaGraph> CreateGraph() = 0;
};

}  // namespace solka
