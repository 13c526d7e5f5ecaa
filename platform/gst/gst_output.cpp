#include "platform/gst/gst_output.h"

#include <algorithm>
#include <utility>

namespace solka {
namespace {

// Past this, a state change or seek of the output has not come back: its sink waits for a
// sound server that does not answer.
constexpr std::chrono::milliseconds kStuckBound{2000};

// The output formats every track is widened to at least: what nearly all music and every
// sound server take, so that a low-quality track never narrows the ones after it.
constexpr OutputFormat kLeastFormat{44100, 2};

// How long a seek waits for the track before to make way.
constexpr std::chrono::milliseconds kLeavingBound{1000};

struct ProbeData {
  std::weak_ptr<GstOutput> output;  // a track's threads may outlive its output
  std::weak_ptr<TrackLink> track;
};

void DeleteProbeData(gpointer data) {
  delete static_cast<ProbeData*>(data);
}

void DeleteOutputRef(gpointer data) {
  delete static_cast<std::weak_ptr<GstOutput>*>(data);
}

bool Inside(GstObject* object, GstElement* element) {
  return object == GST_OBJECT(element) || gst_object_has_as_ancestor(object, GST_OBJECT(element));
}

}  // namespace

std::shared_ptr<GstOutput> GstOutput::Create(GstElement* sink,
                                             std::function<void(std::function<void()>)> post,
                                             std::shared_ptr<TaskThreads> threads) {
  // The last reference may go on any thread, the GUI's included; the output ends on its own
  // thread, where setting its state to NULL may wait as long as it must.
  std::shared_ptr<GstOutput> output(new GstOutput(sink, std::move(post), std::move(threads)),
                                    [](GstOutput* gone) {
                                      TaskThread& worker = *gone->worker_;
                                      worker.Post([gone] { delete gone; });
                                    });
  if (output->pipeline_) {
    if (GstPad* input = gst_element_get_static_pad(output->sink_, "sink")) {
      const auto types = static_cast<GstPadProbeType>(
          GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
          GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_PUSH | GST_PAD_PROBE_TYPE_PULL);
      gst_pad_add_probe(input, types, &GstOutput::OnSinkInput, new std::weak_ptr<GstOutput>(output),
                        &DeleteOutputRef);
      gst_object_unref(input);
    }
    GstBus* bus = gst_element_get_bus(output->pipeline_);
    // A weak reference: a locked track bin may still post while the output is being deleted.
    gst_bus_set_sync_handler(bus, &GstOutput::OnBusMessage, new std::weak_ptr<GstOutput>(output),
                             &DeleteOutputRef);
    gst_object_unref(bus);
  }
  return output;
}

GstOutput::GstOutput(GstElement* sink, std::function<void(std::function<void()>)> post,
                     std::shared_ptr<TaskThreads> threads)
    : post_(std::move(post)),
      threads_(std::move(threads)),
      worker_(std::make_unique<TaskThread>(threads_)) {
  concat_ = gst_element_factory_make("concat", nullptr);
  if (!sink || !concat_) {
    if (sink) gst_object_unref(gst_object_ref_sink(sink));
    if (concat_) gst_object_unref(gst_object_ref_sink(concat_));
    concat_ = nullptr;
    return;
  }
  // Under the lock: the bus handler reads these on streaming threads, which GStreamer hands work
  // to under locks of its own.
  std::lock_guard lock(mutex_);
  pipeline_ = GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr)));
  sink_ = sink;
  gst_bin_add_many(GST_BIN(pipeline_), concat_, sink_, nullptr);
  gst_element_link(concat_, sink_);
}

GstOutput::~GstOutput() {
  if (!pipeline_) return;
  // NULL first: it joins the streaming threads and closes the sink before anything goes away.
  // The tracks' bins are locked in their own state; their teardowns hold their own references.
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  GstBus* bus = gst_element_get_bus(pipeline_);
  gst_bus_set_flushing(bus, TRUE);
  gst_object_unref(bus);
  gst_object_unref(pipeline_);
}

GstBusSyncReply GstOutput::OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
  if (auto output = static_cast<std::weak_ptr<GstOutput>*>(data)->lock()) output->Route(message);
  // Nothing stays on the bus: no watch reads it, and it must not grow over a long run. A
  // dropped message is ours to release; it holds its source element, so keeping it would keep
  // the whole pipeline, its threads and its file descriptors alive.
  gst_message_unref(message);
  return GST_BUS_DROP;
}

std::shared_ptr<TrackLink> GstOutput::Owner(GstObject* source) {
  for (const auto& track : tracks_)
    if (Inside(source, track->bin)) return track;
  const bool ofOutput =
      source == GST_OBJECT(pipeline_) || Inside(source, sink_) || source == GST_OBJECT(concat_);
  if (!ofOutput || tracks_.empty()) return nullptr;  // a removed track's last words
  // The output's own messages belong to the track it plays.
  for (const auto& track : tracks_)
    if (!track->ended) return track;
  return tracks_.back();
}

void GstOutput::Route(GstMessage* message) {
  const GstMessageType type = GST_MESSAGE_TYPE(message);
  bool missingPlugin = false;
  // Built outside the lock: parsing allocates.
  const std::string failure = FailureText(message, missingPlugin);
  // The one pipeline on this bus is ours.
  const bool fromPipeline = GST_IS_PIPELINE(GST_MESSAGE_SRC(message));
  if (failure.empty() &&
      !(fromPipeline && (type == GST_MESSAGE_EOS || type == GST_MESSAGE_ASYNC_DONE)))
    return;

  std::shared_ptr<TrackLink> track;
  bool ofSink = false;
  {
    std::lock_guard lock(mutex_);
    if (type == GST_MESSAGE_EOS) {
      // The sink has played out: that ends the track behind which nothing was linked.
      for (const auto& t : tracks_)
        if (t->endsOutput) track = t;
    } else {
      ofSink = Inside(GST_MESSAGE_SRC(message), sink_);
      track = Owner(GST_MESSAGE_SRC(message));
    }
  }
  if (ofSink && type == GST_MESSAGE_ERROR) {
    // The device or the sound server went away: not the track's fault. The track learns that
    // its output is lost and opens another one where it was. The lost sink is closed at once:
    // sinks opened later would share its dead connection while it lives.
    lost_ = true;
    SetState(GST_STATE_NULL);
    if (track) track->events->OutputLost(failure);
    return;
  }
  if (!track) return;
  if (type == GST_MESSAGE_EOS) {
    track->events->Ended();
  } else if (type == GST_MESSAGE_ASYNC_DONE) {
    // A track that starts an output is ready once the sink holds its first data.
    prerolled_ = true;
    if (!track->follower) track->events->Ready();
  } else {
    const bool before = !track->events->Started();
    track->events->Failure(failure, missingPlugin);
    // A prepared track that fails leaves the output at once, so that the track before it plays
    // out to the sink's own end; its turn then fails as a start does.
    if (before && track->follower) {
      std::weak_ptr<GstOutput> output = weak_from_this();
      post_([output, track] {
        if (auto self = output.lock()) self->Remove(track);
      });
    }
  }
}

GstPadProbeReturn GstOutput::OnTrackData(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* probe = static_cast<ProbeData*>(data);
  auto track = probe->track.lock();
  auto output = probe->output.lock();
  if (track && output) output->TrackData(track, info);
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn GstOutput::OnSinkInput(GstPad*, GstPadProbeInfo* info, gpointer data) {
  // A track's threads may still ask the sink something while the output is going.
  const auto self = static_cast<std::weak_ptr<GstOutput>*>(data)->lock();
  if (!self) return GST_PAD_PROBE_OK;
  const gint64 now = g_get_monotonic_time();
  if (info->type & GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM) {
    // Queries pass twice: on their way in, and back out with the answer (not when it failed:
    // the next question replaces it).
    void* query = GST_PAD_PROBE_INFO_QUERY(info);
    if (info->type & GST_PAD_PROBE_TYPE_PUSH) {
      self->sinkQuerySince_ = now;
      self->sinkQuery_ = query;
    } else {
      self->sinkQuery_.compare_exchange_strong(query, nullptr);
    }
  } else {
    self->sinkEntered_ = now;
  }
  return GST_PAD_PROBE_OK;
}

void GstOutput::TrackData(const std::shared_ptr<TrackLink>& track, GstPadProbeInfo* info) {
  if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
    // Where the track is, even when the output can no longer be asked (it was lost).
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (buffer && GST_BUFFER_PTS_IS_VALID(buffer))
      track->reached = static_cast<gint64>(
          GST_BUFFER_PTS(buffer) +
          (GST_BUFFER_DURATION_IS_VALID(buffer) ? GST_BUFFER_DURATION(buffer) : 0));
    return;
  }
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (!event) return;
  bool endedWithFollower = false;
  {
    std::lock_guard lock(mutex_);
    const auto it = std::find(tracks_.begin(), tracks_.end(), track);
    // A track taken out says no more of the output (torn down, it may still send an end).
    if (it == tracks_.end()) return;
    switch (GST_EVENT_TYPE(event)) {
      case GST_EVENT_EOS: {
        // Decided under the lock that Append takes: a track appended before this point plays
        // next, one appended after it comes too late.
        track->ended = true;
        endedWithFollower = it + 1 != tracks_.end();
        track->endsOutput = !endedWithFollower;
        if (!endedWithFollower) closed_ = true;
        break;
      }
      case GST_EVENT_FLUSH_STOP:
        // A seek sends the data again.
        track->ended = track->endsOutput = false;
        closed_ = false;
        break;
      default:
        break;
    }
  }
  if (endedWithFollower) track->events->Ended();
}

bool GstOutput::Append(const std::shared_ptr<TrackLink>& track) {
  if (!pipeline_ || Lost()) return false;
  GstPad* source = gst_element_get_static_pad(track->bin, "src");
  if (!source) return false;
  gst_pad_add_probe(
      source,
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
      &GstOutput::OnTrackData, new ProbeData{weak_from_this(), track}, &DeleteProbeData);
  {
    std::lock_guard lock(mutex_);
    if (closed_) {
      gst_object_unref(source);
      return false;
    }
    // Requesting the pad adds no message to the bus, so the lock cannot be taken twice.
    track->input = gst_element_request_pad_simple(concat_, "sink_%u");
    tracks_.push_back(track);
  }
  // Its state is its own: the output must not wait for a decoder that may never get ready (a
  // broken file, a file whose reads never return), nor stop it when the output pauses.
  gst_element_set_locked_state(track->bin, TRUE);
  gst_bin_add(GST_BIN(pipeline_), track->bin);  // a reference of its own: the bin is not floating
  const bool linked = track->input && gst_pad_link(source, track->input) == GST_PAD_LINK_OK;
  gst_object_unref(source);
  if (!linked) {
    Remove(track);
    return false;
  }
  // Started once the output's state changes asked for before have run, so that its data never
  // meets an output that is not active yet (which would stop it for good).
  worker_->Post([track] {
    track->states.Post([track] {
      if (track->removed) return;
      if (gst_element_set_state(track->bin, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        track->events->Failure("the track could not start", false);
    });
  });
  return true;
}

void GstOutput::Remove(const std::shared_ptr<TrackLink>& track) {
  GstPad* input = nullptr;
  bool last = false;
  {
    std::lock_guard lock(mutex_);
    const auto it = std::find(tracks_.begin(), tracks_.end(), track);
    if (it == tracks_.end()) return;
    tracks_.erase(it);
    input = std::exchange(track->input, nullptr);
    last = tracks_.empty();
  }
  track->removed = true;
  // The sink may hold the track's data (paused): stopping it lets the track's threads go.
  if (last) SetState(GST_STATE_NULL);
  if (input && !Active(input)) {
    // A track waiting for its turn lets go of its pad at once, so that it cannot get a turn;
    // only the track that plays can be held inside the sink.
    gst_element_release_request_pad(concat_, input);
    gst_object_unref(std::exchange(input, nullptr));
  }
  if (input) ++leaving_;
  auto* pipeline = GST_ELEMENT(gst_object_ref(pipeline_));
  auto* concat = GST_ELEMENT(gst_object_ref(concat_));
  // On the track's thread, after its start: a track whose reads never return holds up nothing
  // else. The bin reaches NULL before its last reference goes.
  track->states.Post([track, input, pipeline, concat, self = shared_from_this()] {
    // The pad first: it wakes a track that waits for its turn, whose threads could not stop
    // else.
    if (input) {
      gst_element_release_request_pad(concat, input);
      gst_object_unref(input);
      {
        std::lock_guard lock(self->leavingMutex_);
        --self->leaving_;
      }
      self->left_.notify_all();
    }
    gst_element_set_state(track->bin, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(pipeline), track->bin);
    gst_object_unref(concat);
    gst_object_unref(pipeline);
  });
}

bool GstOutput::Active(GstPad* input) {
  GstPad* active = nullptr;
  g_object_get(concat_, "active-pad", &active, nullptr);
  if (active) gst_object_unref(active);
  return active == input;
}

bool GstOutput::Plays(const TrackLink& track) {
  std::lock_guard lock(mutex_);
  for (const auto& t : tracks_)
    if (!t->ended) return t.get() == &track;
  return !tracks_.empty() && tracks_.back().get() == &track;
}

void GstOutput::SetState(GstState state) {
  if (!pipeline_) return;
  auto* pipeline = GST_ELEMENT(gst_object_ref(pipeline_));
  worker_->Post([pipeline, state] {
    gst_element_set_state(pipeline, state);
    gst_object_unref(pipeline);
  });
}

void GstOutput::StopSoon() {
  stopAsked_ = true;
  std::weak_ptr<GstOutput> weak = weak_from_this();
  post_([weak] {
    const auto self = weak.lock();
    if (self && std::exchange(self->stopAsked_, false)) self->SetState(GST_STATE_READY);
  });
}

void GstOutput::Seek(double rate, gint64 at) {
  if (!pipeline_) return;
  auto* pipeline = GST_ELEMENT(gst_object_ref(pipeline_));
  ++seeking_;
  worker_->Post([pipeline, rate, at, self = shared_from_this()] {
    {
      // Meant for the track that plays from now on: after the one before has made way (a
      // paused sink holds it until it runs again; bounded, should it hang).
      std::unique_lock lock(self->leavingMutex_);
      self->left_.wait_for(lock, kLeavingBound, [&] { return self->leaving_ == 0; });
    }
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    // Sent through the sink: the output hands it to the track it plays.
    gst_element_seek(pipeline, rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, at,
                     GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
    gst_object_unref(pipeline);
    --self->seeking_;
  });
}

bool GstOutput::Lost() {
  if (!lost_ && worker_->StuckFor(kStuckBound)) lost_ = true;
  return lost_;
}

bool GstOutput::Hangs() {
  const gint64 bound = kStuckBound.count() * 1000, now = g_get_monotonic_time();
  const gint64 entered = sinkEntered_;
  // Before the sink was first ready, nothing it was asked or given should keep it.
  if (!prerolled_ && sinkQuery_ && now - sinkQuerySince_ > bound) lost_ = true;
  if (!prerolled_ && entered != 0 && now - entered > bound) lost_ = true;
  return Lost();
}

OutputFormat GstOutput::Widest(OutputFormat own) {
  std::lock_guard lock(mutex_);
  format_.rate = std::max({format_.rate, own.rate, kLeastFormat.rate});
  format_.channels = std::max({format_.channels, own.channels, kLeastFormat.channels});
  return format_;
}

}  // namespace solka
