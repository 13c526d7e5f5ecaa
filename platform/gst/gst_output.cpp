#include "platform/gst/gst_output.h"

#include <algorithm>
#include <utility>

namespace solka {
namespace {

struct ProbeData {
  GstOutput* output;  // outlives the probe: its pipeline's threads stop before it goes
  std::weak_ptr<TrackLink> track;
};

void DeleteProbeData(gpointer data) {
  delete static_cast<ProbeData*>(data);
}

bool Inside(GstObject* object, GstElement* element) {
  return object == GST_OBJECT(element) || gst_object_has_as_ancestor(object, GST_OBJECT(element));
}

}  // namespace

GstOutput::GstOutput(GstElement* sink, std::function<void(std::function<void()>)> post)
    : post_(std::move(post)) {
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
  GstBus* bus = gst_element_get_bus(pipeline_);
  gst_bus_set_sync_handler(bus, &GstOutput::OnBusMessage, this, nullptr);
  gst_object_unref(bus);
}

GstOutput::~GstOutput() {
  if (!pipeline_) return;
  // NULL first: it joins the streaming threads and closes the files before anything goes away.
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  GstBus* bus = gst_element_get_bus(pipeline_);
  gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
  gst_bus_set_flushing(bus, TRUE);
  gst_object_unref(bus);
  if (format_) gst_caps_unref(format_);
  gst_object_unref(pipeline_);
}

GstBusSyncReply GstOutput::OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
  static_cast<GstOutput*>(data)->Route(message);
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
  {
    std::lock_guard lock(mutex_);
    if (type == GST_MESSAGE_EOS) {
      // The sink has played out: that ends the track behind which nothing was linked.
      for (const auto& t : tracks_)
        if (t->endsOutput) track = t;
    } else {
      track = Owner(GST_MESSAGE_SRC(message));
    }
  }
  if (!track) return;
  if (type == GST_MESSAGE_EOS) {
    track->events->Ended();
  } else if (type == GST_MESSAGE_ASYNC_DONE) {
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
  if (auto track = probe->track.lock()) probe->output->TrackData(track, info);
  return GST_PAD_PROBE_OK;
}

void GstOutput::TrackData(const std::shared_ptr<TrackLink>& track, GstPadProbeInfo* info) {
  if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
    // A follower is ready once its first data waits at the output.
    if (track->follower) track->events->Ready();
    return;
  }
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (!event) return;
  bool endedWithFollower = false;
  {
    std::lock_guard lock(mutex_);
    switch (GST_EVENT_TYPE(event)) {
      case GST_EVENT_CAPS:
        if (!format_ && !tracks_.empty() && tracks_.front() == track) {
          GstCaps* caps = nullptr;
          gst_event_parse_caps(event, &caps);
          format_ = gst_caps_ref(caps);
        }
        break;
      case GST_EVENT_EOS: {
        // Decided under the lock that Append takes: a track appended before this point plays
        // next, one appended after it comes too late.
        track->ended = true;
        const auto it = std::find(tracks_.begin(), tracks_.end(), track);
        endedWithFollower = it != tracks_.end() && it + 1 != tracks_.end();
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
  if (!pipeline_) return false;
  GstPad* source = gst_element_get_static_pad(track->bin, "src");
  if (!source) return false;
  gst_pad_add_probe(
      source,
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
      &GstOutput::OnTrackData, new ProbeData{this, track}, &DeleteProbeData);
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
  gst_bin_add(GST_BIN(pipeline_), track->bin);  // a reference of its own: the bin is not floating
  const bool linked = track->input && gst_pad_link(source, track->input) == GST_PAD_LINK_OK;
  gst_object_unref(source);
  if (!linked) {
    Remove(track);
    return false;
  }
  if (track->follower) {
    // Its state is its own: the output, already playing, must not wait for a decoder that may
    // never get ready (a broken file), nor stop it when the output pauses.
    gst_element_set_locked_state(track->bin, TRUE);
    gst_element_set_state(track->bin, GST_STATE_PLAYING);
  } else {
    gst_element_sync_state_with_parent(track->bin);
  }
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
  if (last) gst_element_set_state(pipeline_, GST_STATE_NULL);
  // The pad first: it wakes a track that waits for its turn, whose threads could not stop else.
  if (input) {
    gst_element_release_request_pad(concat_, input);
    gst_object_unref(input);
  }
  gst_element_set_state(track->bin, GST_STATE_NULL);
  gst_bin_remove(GST_BIN(pipeline_), track->bin);
}

bool GstOutput::Plays(const TrackLink& track) {
  std::lock_guard lock(mutex_);
  for (const auto& t : tracks_)
    if (!t->ended) return t.get() == &track;
  return !tracks_.empty() && tracks_.back().get() == &track;
}

GstCaps* GstOutput::Format() {
  std::lock_guard lock(mutex_);
  return format_ ? gst_caps_ref(format_) : nullptr;
}

}  // namespace solka
