#include "platform/gst/gst_graph.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/gst/adts_length.h"
#include "platform/gst/graph_events.h"

namespace solka {
namespace {

// playbin's flags: audio only. Video and subtitles are never rendered, so a file with pictures
// opens no window. Not playbin's own volume (soft-volume): its volume element outlives the
// pipeline, one per track (GStreamer 1.22); the graph brings its own instead.
constexpr guint kAudioOnly = 1u << 1;

// The output with the graph's own gain in front of it, after playbin's queue, so that a change
// is heard at once and the stored level applies from the first sample. Takes `sink` (floating
// or not) and returns a reference that the caller owns; `volume` gets a reference of its own.
GstElement* WithGain(GstElement* sink, GstElement*& volume) {
  gst_object_ref_sink(sink);
  volume = gst_element_factory_make("volume", nullptr);
  if (!volume) return sink;
  gst_object_ref_sink(volume);
  GstElement* bin = GST_ELEMENT(gst_object_ref_sink(gst_bin_new(nullptr)));
  gst_bin_add_many(GST_BIN(bin), volume, sink, nullptr);
  gst_object_unref(sink);
  gst_element_link(volume, sink);
  GstPad* pad = gst_element_get_static_pad(volume, "sink");
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", pad));
  gst_object_unref(pad);
  return bin;
}

double Seconds(gint64 nanoseconds) {
  return static_cast<double>(nanoseconds) / GST_SECOND;
}

}  // namespace

GstGraph::GstGraph(std::function<void(std::function<void()>)> post, GstElement* sink,
                   std::chrono::milliseconds prerollTimeout)
    : events_(std::make_shared<GraphEvents>(std::move(post))), prerollTimeout_(prerollTimeout) {
  pipeline_ = gst_element_factory_make("playbin", nullptr);
  if (!pipeline_) {
    if (sink) gst_object_unref(gst_object_ref_sink(sink));
    return;
  }
  gst_object_ref_sink(pipeline_);
  g_object_set(pipeline_, "flags", kAudioOnly, nullptr);
  if (sink) {
    GstElement* output = WithGain(sink, volume_);
    g_object_set(pipeline_, "audio-sink", output, nullptr);
    gst_object_unref(output);
  }
  // A picture or video stream would otherwise make playbin try every video output it knows,
  // some of which take the process down when no display of their kind exists.
  if (GstElement* video = gst_element_factory_make("fakesink", nullptr))
    g_object_set(pipeline_, "video-sink", video, nullptr);
  // Keeps the pitch when the speed changes; without it a changed rate also changes the pitch.
  if (GstElement* tempo = gst_element_factory_make("scaletempo", nullptr))
    g_object_set(pipeline_, "audio-filter", tempo, nullptr);
  GraphEvents::Attach(pipeline_, events_);
}

GstGraph::~GstGraph() {
  events_->notify = nullptr;
  if (!pipeline_) return;
  // NULL first: it joins the streaming threads and closes the file before anything goes away.
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  GraphEvents::Detach(pipeline_);
  if (volume_) gst_object_unref(volume_);
  gst_object_unref(pipeline_);
}

void GstGraph::SetNotify(std::function<void()> notify) {
  events_->notify = std::move(notify);
}

RenderResult GstGraph::RenderFile(const std::string& path) {
  if (!pipeline_) return RenderResult::Failure("no playbin element: GStreamer is incomplete");
  if (path.empty()) return RenderResult::Failure("empty path");
  // A NUL inside the path (a damaged list line) would open a different, shorter path.
  if (path.find('\0') != std::string::npos)
    return RenderResult::Failure("the path holds a zero byte");
  // Opening a FIFO or a device would block the GUI thread beyond any time-out.
  if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) return RenderResult::Failure("no such file");
  if (!g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR))
    return RenderResult::Failure("not a regular file");
  GError* error = nullptr;
  gchar* uri = gst_filename_to_uri(path.c_str(), &error);
  if (!uri) {
    std::string why = error ? error->message : "no URI for this path";
    g_clear_error(&error);
    return RenderResult::Failure(why);
  }
  g_object_set(pipeline_, "uri", uri, nullptr);
  g_free(uri);

  if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
    return Fail("the pipeline could not start");
  if (!events_->WaitUntilReady(prerollTimeout_))
    return Fail("not ready to play within " + std::to_string(prerollTimeout_.count()) + " ms");
  // Pictures and video-only files preroll too; only a file with sound counts.
  gint audioStreams = 0;
  g_object_get(pipeline_, "n-audio", &audioStreams, nullptr);
  if (audioStreams <= 0) return Fail("no audio stream");
  if (!events_->MarkStarted()) return Fail("the pipeline failed");
  if (Duration() <= 0) duration_ = AdtsLength(path);
  return RenderResult::Success();
}

RenderResult GstGraph::Fail(std::string fallbackReason) {
  // Stops the threads and closes the file now; the owner releases the rest.
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  // GStreamer's own words when it gave any: they name the cause, ours only the symptom.
  std::string reason = events_->StartFailure();
  return RenderResult::Failure(reason.empty() ? std::move(fallbackReason) : std::move(reason));
}

void GstGraph::Run() {
  if (pipeline_) gst_element_set_state(pipeline_, GST_STATE_PLAYING);
}

void GstGraph::Pause() {
  if (pipeline_) gst_element_set_state(pipeline_, GST_STATE_PAUSED);
}

void GstGraph::Stop() {
  if (!pipeline_) return;
  Position();  // the last position stays readable after the stop
  gst_element_set_state(pipeline_, GST_STATE_READY);
}

double GstGraph::Duration() {
  gint64 length = 0;
  if (pipeline_ && gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &length) && length > 0)
    duration_ = Seconds(length);
  return duration_;
}

double GstGraph::Position() {
  gint64 at = 0;
  // Between a flushing seek and the next buffer the query can fail; the last answer stands.
  if (pipeline_ && gst_element_query_position(pipeline_, GST_FORMAT_TIME, &at) && at >= 0)
    position_ = Seconds(at);
  return position_;
}

bool GstGraph::SeekTo(double seconds, double rate) {
  if (!pipeline_ || !std::isfinite(seconds)) return false;
  const auto at = static_cast<gint64>(std::max(0.0, seconds) * GST_SECOND);
  const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
  if (!gst_element_seek(pipeline_, rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, at,
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
  if (!volume_) return;
  // Above 0 dB would amplify and clip; below -100 dB is silence anyway.
  const int level = std::clamp(hundredthsOfDb, -10000, 0);
  g_object_set(volume_, "volume", std::pow(10.0, level / 2000.0), nullptr);
}

MediaTags GstGraph::Tags() {
  MediaTags tags;
  gint stream = 0;
  GstTagList* list = nullptr;
  if (pipeline_) g_object_get(pipeline_, "current-audio", &stream, nullptr);
  if (pipeline_) g_signal_emit_by_name(pipeline_, "get-audio-tags", std::max(stream, 0), &list);
  if (!list) return tags;
  const auto text = [list](const char* tag) {
    gchar* value = nullptr;
    std::string result;
    if (gst_tag_list_get_string(list, tag, &value) && value) result = value;
    g_free(value);
    return result;
  };
  tags = {text(GST_TAG_TITLE), text(GST_TAG_ARTIST), text(GST_TAG_ALBUM)};
  gst_tag_list_unref(list);
  return tags;
}

bool GstGraph::GetEvent(MediaEvent& event) {
  return events_->Pop(event);
}

}  // namespace solka
