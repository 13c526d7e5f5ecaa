#include "platform/gst/gst_graph.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>
#include <utility>

#include "platform/gst/adts_length.h"
#include "platform/gst/graph_events.h"
#include "platform/gst/gst_output.h"

namespace solka {

struct GstTrackTags {
  std::mutex mutex;
  MediaTags tags;
};

namespace {

double Seconds(gint64 nanoseconds) {
  return static_cast<double>(nanoseconds) / GST_SECOND;
}

// What the decoder's signals need: the track, and the first element of its chain (owned by the
// same bin, which outlives every signal it emits).
struct DecoderData {
  std::weak_ptr<TrackLink> track;
  GstElement* chain;
};

void DeleteDecoderData(gpointer data, GClosure*) {
  delete static_cast<DecoderData*>(data);
}

// Only decoded audio goes on; a picture or video stream is never decoded nor shown.
void OnDecodedPad(GstElement*, GstPad* pad, gpointer data) {
  auto* decoder = static_cast<DecoderData*>(data);
  const auto track = decoder->track.lock();
  if (!track) return;
  GstCaps* caps = gst_pad_get_current_caps(pad);
  if (!caps) caps = gst_pad_query_caps(pad, nullptr);
  const bool audio =
      caps && gst_caps_get_size(caps) > 0 &&
      g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/x-raw");
  if (caps) gst_caps_unref(caps);
  if (!audio) return;
  GstPad* sink = gst_element_get_static_pad(decoder->chain, "sink");
  // The first audio stream plays; further ones (rare) are left out.
  if (!gst_pad_is_linked(sink) && gst_pad_link(pad, sink) == GST_PAD_LINK_OK) ++track->audioStreams;
  gst_object_unref(sink);
}

void OnNoMorePads(GstElement*, gpointer data) {
  const auto track = static_cast<DecoderData*>(data)->track.lock();
  // Pictures and video-only files decode too; only a file with sound counts.
  if (track && track->audioStreams == 0) track->events->Failure("no audio stream", false);
}

// Records what the tag events that pass a pad say of the track (streaming threads).
GstPadProbeReturn OnTagEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (!event || GST_EVENT_TYPE(event) != GST_EVENT_TAG) return GST_PAD_PROBE_OK;
  GstTagList* list = nullptr;
  gst_event_parse_tag(event, &list);
  auto& tags = **static_cast<std::shared_ptr<GstTrackTags>*>(data);
  const std::lock_guard lock(tags.mutex);
  for (auto [name, text] :
       {std::pair{GST_TAG_TITLE, &tags.tags.title}, std::pair{GST_TAG_ARTIST, &tags.tags.artist},
        std::pair{GST_TAG_ALBUM, &tags.tags.album}}) {
    gchar* value = nullptr;
    if (list && gst_tag_list_get_string(list, name, &value) && value && *value) *text = value;
    g_free(value);
  }
  return GST_PAD_PROBE_OK;
}

void DeleteTrackTags(gpointer data) {
  delete static_cast<std::shared_ptr<GstTrackTags>*>(data);
}

// The reason a path cannot be opened at all, or empty; `uri` gets its URI.
std::string Unopenable(const std::string& path, std::string& uri) {
  if (path.empty()) return "empty path";
  // A NUL inside the path (a damaged list line) would open a different, shorter path.
  if (path.find('\0') != std::string::npos) return "the path holds a zero byte";
  // Opening a FIFO or a device would block the GUI thread beyond any time-out.
  if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) return "no such file";
  if (!g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR)) return "not a regular file";
  GError* error = nullptr;
  gchar* text = gst_filename_to_uri(path.c_str(), &error);
  if (!text) {
    std::string why = error ? error->message : "no URI for this path";
    g_clear_error(&error);
    return why;
  }
  uri = text;
  g_free(text);
  return {};
}

}  // namespace

GstGraph::GstGraph(std::shared_ptr<const GstGraphServices> services,
                   std::shared_ptr<GstOutput> after)
    : services_(std::move(services)),
      events_(std::make_shared<GraphEvents>(services_->post)),
      after_(std::move(after)) {
  // A graph of its own has its output from the start, so that what watches the output sees the
  // first buffer too.
  if (!after_) output_ = std::make_shared<GstOutput>(services_->newSink(), services_->post);
}

GstGraph::~GstGraph() {
  events_->notify = nullptr;
  Leave();
}

void GstGraph::Leave() {
  if (output_ && link_) output_->Remove(link_);
  output_.reset();
  volume_ = nullptr;
}

GstElement* GstGraph::Pipeline() const {
  return output_ ? output_->Pipeline() : nullptr;
}

void GstGraph::SetNotify(std::function<void()> notify) {
  events_->notify = std::move(notify);
}

std::string GstGraph::Build(const std::string& path, bool follower) {
  std::string uri;
  if (std::string why = Unopenable(path, uri); !why.empty()) return why;
  link_ = std::make_shared<TrackLink>();
  link_->events = events_;
  link_->follower = follower;
  GstElement* decode = gst_element_factory_make("uridecodebin", nullptr);
  GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
  GstElement* convertBack = gst_element_factory_make("audioconvert", nullptr);
  GstElement* resample = gst_element_factory_make("audioresample", nullptr);
  GstElement* format = gst_element_factory_make("capsfilter", nullptr);
  if (!decode || !convert || !convertBack || !resample || !format) {
    for (GstElement* e : {decode, convert, convertBack, resample, format})
      if (e) gst_object_unref(gst_object_ref_sink(e));
    return "GStreamer is incomplete: no decoding or conversion elements";
  }
  link_->bin = GST_ELEMENT(gst_object_ref_sink(gst_bin_new(nullptr)));
  GstBin* bin = GST_BIN(link_->bin);
  // The decoder's own wait for its streams stays inside the track: a follower that never gets
  // there (a broken file) must not hold up the output that plays the track before it.
  g_object_set(bin, "async-handling", TRUE, nullptr);
  gst_bin_add_many(bin, decode, convert, convertBack, resample, format, nullptr);
  // The chain: decoded audio, the tempo (keeps the pitch when the speed changes), the gain (in
  // place before the first sample), then the output's format, so that the sink never has to
  // change it between tracks.
  GstElement* last = convert;
  if (GstElement* tempo = gst_element_factory_make("scaletempo", nullptr)) {
    gst_bin_add(bin, tempo);
    gst_element_link(last, tempo);
    last = tempo;
  }
  gst_element_link_many(last, convertBack, resample, nullptr);
  last = resample;
  volume_ = gst_element_factory_make("volume", nullptr);
  if (volume_) {
    gst_bin_add(bin, volume_);
    gst_element_link(last, volume_);
    last = volume_;
    SetVolume(level_);
  }
  gst_element_link(last, format);
  if (follower && after_) {
    if (GstCaps* caps = after_->Format()) {
      g_object_set(format, "caps", caps, nullptr);
      gst_caps_unref(caps);
    }
  }
  GstPad* out = gst_element_get_static_pad(format, "src");
  gst_element_add_pad(link_->bin, gst_ghost_pad_new("src", out));
  gst_object_unref(out);
  tags_ = std::make_shared<GstTrackTags>();
  GstPad* in = gst_element_get_static_pad(convert, "sink");
  gst_pad_add_probe(in, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, OnTagEvent,
                    new std::shared_ptr<GstTrackTags>(tags_), DeleteTrackTags);
  gst_object_unref(in);

  GstCaps* audioOnly = gst_caps_from_string("audio/x-raw");
  g_object_set(decode, "uri", uri.c_str(), "caps", audioOnly, "expose-all-streams", FALSE, nullptr);
  gst_caps_unref(audioOnly);
  g_signal_connect_data(decode, "pad-added", G_CALLBACK(OnDecodedPad),
                        new DecoderData{link_, convert}, &DeleteDecoderData, GConnectFlags(0));
  g_signal_connect_data(decode, "no-more-pads", G_CALLBACK(OnNoMorePads),
                        new DecoderData{link_, convert}, &DeleteDecoderData, GConnectFlags(0));
  return {};
}

RenderResult GstGraph::RenderFile(const std::string& path) {
  if (!prepared_.empty() && path == prepared_) {
    // A prepared track that failed fails its turn as a start does, with its own reason.
    if (events_->Failed()) return Fail("the prepared track failed");
    if (output_ && output_->Plays(*link_)) return Begin(path);
  }
  return StartAfresh(path);
}

RenderResult GstGraph::StartAfresh(const std::string& path) {
  // A follower that could not follow leaves its predecessor's output for one of its own.
  const bool own = output_ && !link_ && !after_;
  if (!own) Leave();
  prepared_.clear();
  after_.reset();
  // Whatever a preparation recorded is not this start's.
  auto fresh = std::make_shared<GraphEvents>(services_->post);
  fresh->notify = std::move(events_->notify);
  events_ = std::move(fresh);

  if (std::string why = Build(path, false); !why.empty()) return RenderResult::Failure(why);
  if (!own) output_ = std::make_shared<GstOutput>(services_->newSink(), services_->post);
  if (!output_->Valid() || !output_->Append(link_)) {
    output_.reset();
    return RenderResult::Failure("no output stream: GStreamer is incomplete");
  }
  if (gst_element_set_state(output_->Pipeline(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
    return Fail("the pipeline could not start");
  return Begin(path);
}

RenderResult GstGraph::Begin(const std::string& path) {
  if (!events_->WaitUntilReady(services_->prerollTimeout))
    return Fail("not ready to play within " + std::to_string(services_->prerollTimeout.count()) +
                " ms");
  if (link_->audioStreams <= 0) return Fail("no audio stream");
  if (!events_->MarkStarted()) return Fail("the pipeline failed");
  started_ = true;
  if (Duration() <= 0) duration_ = AdtsLength(path);
  return RenderResult::Success();
}

RenderResult GstGraph::Fail(std::string fallbackReason) {
  // Stops the threads and closes the file now; the owner releases the rest.
  Leave();
  // GStreamer's own words when it gave any: they name the cause, ours only the symptom.
  std::string reason = events_->StartFailure();
  return RenderResult::Failure(reason.empty() ? std::move(fallbackReason) : std::move(reason));
}

std::unique_ptr<MediaGraph> GstGraph::CreateFollower() {
  if (!started_ || !output_ || (services_->outputChanged && services_->outputChanged()))
    return nullptr;
  return std::make_unique<GstGraph>(services_, output_);
}

void GstGraph::Prepare(const std::string& path) {
  if (!after_) return;
  // A path that cannot be opened fails at its turn, in RenderFile, as any start does.
  if (Build(path, true).empty() && after_->Append(link_)) {
    output_ = after_;
    prepared_ = path;
  } else {
    link_.reset();
    volume_ = nullptr;
  }
  after_.reset();
}

bool GstGraph::Plays() const {
  return output_ && link_ && output_->Plays(*link_);
}

void GstGraph::Run() {
  if (output_) gst_element_set_state(output_->Pipeline(), GST_STATE_PLAYING);
}

void GstGraph::Pause() {
  if (output_) gst_element_set_state(output_->Pipeline(), GST_STATE_PAUSED);
}

void GstGraph::Stop() {
  // A track that has ended while its follower plays leaves the output to the follower.
  if (!Plays()) return;
  Position();  // the last position stays readable after the stop
  gst_element_set_state(output_->Pipeline(), GST_STATE_READY);
}

double GstGraph::Duration() {
  gint64 length = 0;
  if (link_ && link_->bin) {
    GstPad* out = gst_element_get_static_pad(link_->bin, "src");
    if (out && gst_pad_query_duration(out, GST_FORMAT_TIME, &length) && length > 0)
      duration_ = Seconds(length);
    if (out) gst_object_unref(out);
  }
  return duration_;
}

double GstGraph::Position() {
  if (!Plays()) {
    // Its data has all gone to the output, where the next track plays now: it is at its end.
    if (started_ && output_) position_ = std::max(position_, Duration());
    return position_;
  }
  gint64 at = 0;
  // Between a flushing seek and the next buffer the query can fail; the last answer stands.
  if (gst_element_query_position(output_->Pipeline(), GST_FORMAT_TIME, &at) && at >= 0)
    position_ = Seconds(at);
  return position_;
}

bool GstGraph::SeekTo(double seconds, double rate) {
  if (!Plays() || !std::isfinite(seconds)) return false;
  const auto at = static_cast<gint64>(std::max(0.0, seconds) * GST_SECOND);
  const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
  // Sent through the sink: the output hands it to the track it plays, which is this one.
  if (!gst_element_seek(output_->Pipeline(), rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, at,
                        GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE))
    return false;
  position_ = Seconds(at);
  return true;
}

void GstGraph::SetPosition(double seconds) {
  SeekTo(seconds, rate_);
}

void GstGraph::SetRate(double rate) {
  if (!(rate > 0) || !std::isfinite(rate)) return;
  if (SeekTo(Position(), rate)) rate_ = rate;
}

void GstGraph::SetVolume(int hundredthsOfDb) {
  // Above 0 dB would amplify and clip; below -100 dB is silence anyway.
  level_ = std::clamp(hundredthsOfDb, -10000, 0);
  if (volume_) g_object_set(volume_, "volume", std::pow(10.0, level_ / 2000.0), nullptr);
}

MediaTags GstGraph::Tags() {
  if (!tags_) return {};
  const std::lock_guard lock(tags_->mutex);
  return tags_->tags;
}

bool GstGraph::GetEvent(MediaEvent& event) {
  return events_->Pop(event);
}

}  // namespace solka
