// One output stream that outlives its tracks: a pipeline in which each track's decoding bin
// joins a concatenating element in front of one sink, so that a prepared track's first sample
// follows the last one's. Shared by the graphs of the tracks in it; the last one to go ends it.
//
// Nothing here that can block runs on the caller's thread: the output's state changes and seeks
// run on a thread of the output's own, each track's start and teardown on a thread of the
// track's own. A track whose file never answers, or a sound server that stopped, holds up only
// its own thread.
//
// The bus handler and the pad probes run on streaming threads. They tell each message to the
// track it belongs to: an error inside a track's bin is that track's, one of the sink is the
// output's own (it is lost), and what a removed track still says is dropped.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gst/graph_events.h"
#include "platform/gst/task_thread.h"

namespace solka {

// What the output knows of one track.
struct TrackLink {
  explicit TrackLink(std::shared_ptr<TaskThreads> all) : states(std::move(all)) {}
  ~TrackLink() {
    if (bin) gst_object_unref(bin);
  }
  TrackLink(const TrackLink&) = delete;
  TrackLink& operator=(const TrackLink&) = delete;

  GstElement* bin = nullptr;  // the track's decoding bin, a reference of its own
  std::shared_ptr<GraphEvents> events;
  std::atomic<int> audioStreams = 0;  // decoded audio streams linked into the bin
  bool follower = false;              // joined an output that was already playing
  TaskThread states;                  // its start and its teardown
  std::atomic<bool> removed = false;  // taken out before its start ran: it never starts
  std::atomic<gint64> reached = 0;    // the end of its data that went to the output (ns)
  // Under the output's lock:
  GstPad* input = nullptr;  // its pad on the concatenating element
  bool ended = false;       // all its data has gone into the output
  bool endsOutput = false;  // ... with no track behind it: the sink's end is its end
};

// The widest format the tracks of one output have needed so far.
struct OutputFormat {
  int rate = 0;
  int channels = 0;
};

class GstOutput : public std::enable_shared_from_this<GstOutput> {
 public:
  // Takes `sink` (floating or not). `post` runs a closure on the GUI thread.
  static std::shared_ptr<GstOutput> Create(GstElement* sink,
                                           std::function<void(std::function<void()>)> post,
                                           std::shared_ptr<TaskThreads> threads);
  GstOutput(const GstOutput&) = delete;
  GstOutput& operator=(const GstOutput&) = delete;

  bool Valid() const { return pipeline_ != nullptr; }
  GstElement* Pipeline() const { return pipeline_; }

  // Links the track's bin behind the tracks already in the output and starts it (on the track's
  // thread). False when it comes too late (the output's data has ended, or the output is lost)
  // or cannot be linked; nothing is left behind.
  bool Append(const std::shared_ptr<TrackLink>& track);
  // Takes the track out; the others play on. Safe to call twice.
  void Remove(const std::shared_ptr<TrackLink>& track);
  // Whether the output plays this track now: every track before it has ended.
  bool Plays(const TrackLink& track);
  // Asks for a state of the whole output; returns at once.
  void SetState(GstState state);
  // A stop: it takes effect in the GUI's next step, unless a track started in this one takes
  // the output over (KeepPlaying), so that a user's change of track keeps the stream.
  void StopSoon();
  void KeepPlaying() { stopAsked_ = false; }
  // A flushing seek of the track that plays; returns at once.
  void Seek(double rate, gint64 at);
  // Whether a seek asked for has not been done yet, or the track that plays has not yet made way
  // for the one that took over from it: the position the output tells is not the track's.
  bool Seeking() const { return seeking_ > 0 || leaving_ > 0; }
  // The sink failed (its server went away) or the output's thread has been stuck past a bound
  // (its server stopped answering): nothing more can play in it.
  bool Lost();
  // Whether the sink, before it was first ready to play, has been inside a question or anything
  // it was given for longer than a bound: it waits for a sound server that does not answer. The
  // output is lost then.
  bool Hangs();
  // Lives as long as the output, until its last teardown has run.
  std::weak_ptr<void> Alive() const { return alive_; }
  // The format a track decoded as `own` is to be converted to: never narrower than the track,
  // nor than what the output already plays (a narrower track is widened, not the output
  // narrowed). Any thread.
  OutputFormat Widest(OutputFormat own);

 private:
  GstOutput(GstElement* sink, std::function<void(std::function<void()>)> post,
            std::shared_ptr<TaskThreads> threads);
  ~GstOutput();
  static GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer data);
  static GstPadProbeReturn OnTrackData(GstPad*, GstPadProbeInfo* info, gpointer data);
  static GstPadProbeReturn OnSinkInput(GstPad*, GstPadProbeInfo* info, gpointer data);
  void Route(GstMessage* message);
  void TrackData(const std::shared_ptr<TrackLink>& track, GstPadProbeInfo* info);
  std::shared_ptr<TrackLink> Owner(GstObject* source);  // under the lock
  bool Active(GstPad* input);  // whether the concatenating element plays from this pad now

  std::function<void(std::function<void()>)> post_;
  std::shared_ptr<TaskThreads> threads_;
  std::unique_ptr<TaskThread> worker_;  // the output's state changes and seeks
  GstElement* pipeline_ = nullptr;
  GstElement* concat_ = nullptr;
  GstElement* sink_ = nullptr;
  std::atomic<bool> lost_ = false;
  bool stopAsked_ = false;  // GUI thread
  std::atomic<int> seeking_ = 0;
  // Tracks that played and are making way for the next one, which seeks must wait for.
  std::mutex leavingMutex_;
  std::condition_variable left_;
  std::atomic<int> leaving_ = 0;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
  // What the sink is busy with (monotonic microseconds; 0: nothing).
  std::atomic<void*> sinkQuery_ = nullptr;  // the question it was asked last, until answered
  std::atomic<gint64> sinkQuerySince_ = 0;
  std::atomic<gint64> sinkEntered_ = 0;
  std::atomic<bool> prerolled_ = false;
  std::mutex mutex_;
  std::vector<std::shared_ptr<TrackLink>> tracks_;  // in the order they play
  bool closed_ = false;                             // the data has ended: nothing can follow
  OutputFormat format_;
};

}  // namespace solka
