// One output stream that outlives its tracks: a pipeline in which each track's decoding bin
// joins a concatenating element in front of one sink, so that a prepared track's first sample
// follows the last one's. Shared by the graphs of the tracks in it; the last one to go ends it.
//
// The bus handler and the pad probes run on streaming threads. They tell each message to the
// track it belongs to: an error inside a track's bin is that track's, one of the sink belongs to
// the track the output plays now, and what a removed track still says is dropped.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gst/graph_events.h"

namespace solka {

// What the output knows of one track.
struct TrackLink {
  TrackLink() = default;
  ~TrackLink() {
    if (bin) gst_object_unref(bin);
  }
  TrackLink(const TrackLink&) = delete;
  TrackLink& operator=(const TrackLink&) = delete;

  GstElement* bin = nullptr;  // the track's decoding bin, a reference of its own
  std::shared_ptr<GraphEvents> events;
  std::atomic<int> audioStreams = 0;  // decoded audio streams linked into the bin
  bool follower = false;              // joined an output that was already playing
  // Under the output's lock:
  GstPad* input = nullptr;  // its pad on the concatenating element
  bool ended = false;       // all its data has gone into the output
  bool endsOutput = false;  // ... with no track behind it: the sink's end is its end
};

class GstOutput : public std::enable_shared_from_this<GstOutput> {
 public:
  // Takes `sink` (floating or not). `post` runs a closure on the GUI thread.
  GstOutput(GstElement* sink, std::function<void(std::function<void()>)> post);
  ~GstOutput();
  GstOutput(const GstOutput&) = delete;
  GstOutput& operator=(const GstOutput&) = delete;

  bool Valid() const { return pipeline_ != nullptr; }
  GstElement* Pipeline() const { return pipeline_; }

  // Links the track's bin behind the tracks already in the output and starts it. False when it
  // comes too late (the output's data has ended) or cannot be linked; nothing is left behind.
  bool Append(const std::shared_ptr<TrackLink>& track);
  // Takes the track out; the others play on. Safe to call twice.
  void Remove(const std::shared_ptr<TrackLink>& track);
  // Whether the output plays this track now: every track before it has ended.
  bool Plays(const TrackLink& track);
  // The format of the stream (the first track's), a new reference; null until it is known.
  GstCaps* Format();

 private:
  static GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer data);
  static GstPadProbeReturn OnTrackData(GstPad*, GstPadProbeInfo* info, gpointer data);
  void Route(GstMessage* message);
  void TrackData(const std::shared_ptr<TrackLink>& track, GstPadProbeInfo* info);
  std::shared_ptr<TrackLink> Owner(GstObject* source);  // under the lock

  std::function<void(std::function<void()>)> post_;
  GstElement* pipeline_ = nullptr;
  GstElement* concat_ = nullptr;
  GstElement* sink_ = nullptr;
  std::mutex mutex_;
  std::vector<std::shared_ptr<TrackLink>> tracks_;  // in the order they play
  bool closed_ = false;                             // the data has ended: nothing can follow
  GstCaps* format_ = nullptr;
};

}  // namespace solka
