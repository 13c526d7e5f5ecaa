#include "platform/gst/gst_graph.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>
#include <utility>

#include <glib/gstdio.h>
#include <gst/audio/audio.h>
#include <sys/stat.h>

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

// What the decoder's signals need: the track, the first element of its chain and the format
// filter at its end (owned by the same bin, which outlives every signal it emits), and the
// output it plays in.
struct DecoderData {
  std::weak_ptr<TrackLink> track;
  GstElement* chain;
  GstElement* format;
  std::weak_ptr<GstOutput> output;
};

void DeleteDecoderData(gpointer data, GClosure*) {
  delete static_cast<DecoderData*>(data);
}

// The output's format for a track decoded as `caps`: float samples (never narrower than any
// integer format), at the track's rate and channels or the output's if they are wider.
void ChooseFormat(DecoderData& decoder, const GstCaps* caps) {
  const auto output = decoder.output.lock();
  if (!output) return;
  OutputFormat own;
  const GstStructure* s = gst_caps_get_structure(caps, 0);
  gst_structure_get_int(s, "rate", &own.rate);
  gst_structure_get_int(s, "channels", &own.channels);
  const OutputFormat wide = output->Widest(own);
  GstCaps* chosen = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, GST_AUDIO_NE(F32),
                                        "layout", G_TYPE_STRING, "interleaved", "rate", G_TYPE_INT,
                                        wide.rate, "channels", G_TYPE_INT, wide.channels, nullptr);
  if (wide.channels > 2)
    gst_caps_set_simple(chosen, "channel-mask", GST_TYPE_BITMASK,
                        gst_audio_channel_get_fallback_mask(wide.channels), nullptr);
  g_object_set(decoder.format, "caps", chosen, nullptr);
  gst_caps_unref(chosen);
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
  GstPad* sink = gst_element_get_static_pad(decoder->chain, "sink");
  // The first audio stream plays; further ones (rare) are left out.
  if (audio && !gst_pad_is_linked(sink)) {
    ChooseFormat(*decoder, caps);
    if (gst_pad_link(pad, sink) == GST_PAD_LINK_OK) ++track->audioStreams;
  }
  gst_object_unref(sink);
  if (caps) gst_caps_unref(caps);
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

// A track that joins a running output is ready once its first decoded data is there.
GstPadProbeReturn OnFirstDecoded(GstPad*, GstPadProbeInfo*, gpointer data) {
  if (const auto track = static_cast<std::weak_ptr<TrackLink>*>(data)->lock())
    track->events->Ready();
  return GST_PAD_PROBE_REMOVE;
}

// A question that must wait behind the data (how to allocate buffers, whether all is drained)
// would wait behind the queue for the track's turn, and the decoder with it: it is answered
// here, as the output is going to answer it (defaults; nothing is held back).
GstPadProbeReturn AnswerInOrderQueries(GstPad*, GstPadProbeInfo* info, gpointer) {
  GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
  return query && GST_QUERY_IS_SERIALIZED(query) ? GST_PAD_PROBE_HANDLED : GST_PAD_PROBE_OK;
}

void DeleteTrackRef(gpointer data) {
  delete static_cast<std::weak_ptr<TrackLink>*>(data);
}

void DeleteTrackTags(gpointer data) {
  delete static_cast<std::shared_ptr<GstTrackTags>*>(data);
}

// The reason a path cannot be opened at all, or empty; `uri` gets its URI.
std::string Unopenable(const std::string& path, std::string& uri) {
  if (path.empty()) return "empty path";
  // A NUL inside the path (a damaged list line) would open a different, shorter path.
  if (path.find('\0') != std::string::npos) return "the path holds a zero byte";
  if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) return "no such file";
  // A pipe is read as a file is (another program writing a stream); a device or a socket is not
  // audio. Whatever blocks (a pipe nobody writes) blocks the track's own thread only.
  GStatBuf info;
  if (g_stat(path.c_str(), &info) != 0) return "cannot read the file's type";
  if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode)) return "not a regular file";
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
  if (after_) return;
  // A user's change of track: the output the last track was stopped in plays on, and this
  // track takes over from it.
  OutputParking::Parked parked = services_->parking->Take();
  if (parked.output && !parked.output->Lost() &&
      !(services_->outputChanged && services_->outputChanged())) {
    output_ = std::move(parked.output);
    output_->KeepPlaying();
    outgoing_ = std::move(parked.track);
    return;
  }
  if (parked.output) parked.output->Remove(parked.track);
  // A graph of its own has its output from the start, so that what watches the output sees the
  // first buffer too.
  output_ = NewOutput();
}

GstGraph::~GstGraph() {
  events_->notify = nullptr;
  Leave();
}

void GstGraph::Leave() {
  LetGoOfOutgoing();
  if (output_ && link_) {
    if (stopped_ && output_->Plays(*link_) && !output_->Lost()) {
      // Stopped and released: the next start in this step may take the output over.
      services_->parking->Park({output_, link_}, services_->post);
    } else {
      output_->Remove(link_);
    }
  }
  output_.reset();
  volume_ = nullptr;
}

void GstGraph::LetGoOfOutgoing() {
  if (output_ && outgoing_) output_->Remove(std::exchange(outgoing_, nullptr));
}

GstElement* GstGraph::Pipeline() const {
  return output_ ? output_->Pipeline() : nullptr;
}

void GstGraph::SetNotify(std::function<void()> notify) {
  events_->notify = std::move(notify);
}

std::shared_ptr<GstOutput> GstGraph::NewOutput() {
  return GstOutput::Create(services_->newSink(), services_->post, services_->threads);
}

std::string GstGraph::Build(const std::string& path, bool follower,
                            const std::shared_ptr<GstOutput>& output) {
  std::string uri;
  if (std::string why = Unopenable(path, uri); !why.empty()) return why;
  link_ = std::make_shared<TrackLink>(services_->threads);
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
  // place before the first sample), then the output's format (chosen once the decoded format is
  // known), so that the sink changes it only where a track needs a wider one.
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
  last = format;
  // A track behind another one waits at the output for its turn with the stream-start in front
  // of everything else; a queue lets its decoder go on meanwhile (its tags, its first second),
  // so that it is truly ready, and starts at once, when its turn comes.
  if (GstElement* ahead = follower ? gst_element_factory_make("queue", nullptr) : nullptr) {
    gst_bin_add(bin, ahead);
    gst_element_link(format, ahead);
    last = ahead;
    GstPad* decoded = gst_element_get_static_pad(format, "src");
    gst_pad_add_probe(decoded, GST_PAD_PROBE_TYPE_BUFFER, OnFirstDecoded,
                      new std::weak_ptr<TrackLink>(link_), DeleteTrackRef);
    gst_object_unref(decoded);
    GstPad* waiting = gst_element_get_static_pad(ahead, "sink");
    gst_pad_add_probe(waiting, GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM, AnswerInOrderQueries, nullptr,
                      nullptr);
    gst_object_unref(waiting);
  }
  GstPad* out = gst_element_get_static_pad(last, "src");
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
                        new DecoderData{link_, convert, format, output}, &DeleteDecoderData,
                        GConnectFlags(0));
  g_signal_connect_data(decode, "no-more-pads", G_CALLBACK(OnNoMorePads),
                        new DecoderData{link_, convert, format, output}, &DeleteDecoderData,
                        GConnectFlags(0));
  return {};
}

RenderResult GstGraph::RenderFile(const std::string& path) {
  if (!prepared_.empty() && path == prepared_) {
    // A lost output (its server went away) takes no more tracks, and what failed in it was
    // its own failure: this one opens a new one.
    const bool lost = output_ && output_->Lost();
    // A prepared track that failed fails its turn as a start does, with its own reason.
    if (events_->Failed() && !lost) return Fail("the prepared track failed");
    if (output_ && !lost && output_->Plays(*link_)) return Begin(path);
  }
  return StartAfresh(path);
}

RenderResult GstGraph::StartAfresh(const std::string& path) {
  // A follower that could not follow leaves its predecessor's output for one of its own.
  const bool own = output_ && !link_ && !after_;
  bool takeOver = own && outgoing_;
  if (!own) Leave();
  prepared_.clear();
  after_.reset();
  // Whatever a preparation recorded is not this start's.
  auto fresh = std::make_shared<GraphEvents>(services_->post);
  fresh->notify = std::move(events_->notify);
  events_ = std::move(fresh);

  if (!own) output_ = NewOutput();
  for (;;) {
    // Taking over, it is ready once its stream waits behind the stopped track, which then
    // makes way for it in the running stream.
    if (std::string why = Build(path, takeOver, output_); !why.empty()) {
      LetGoOfOutgoing();
      return RenderResult::Failure(why);
    }
    // Asked for first: the track starts once the output is active.
    if (!takeOver) output_->SetState(GST_STATE_PAUSED);
    if (output_->Valid() && output_->Append(link_)) break;
    link_.reset();
    volume_ = nullptr;
    if (!takeOver) {
      output_.reset();
      return RenderResult::Failure("no output stream: GStreamer is incomplete");
    }
    // The stopped track's data had all gone to the output, which takes nothing more: a new one.
    LetGoOfOutgoing();
    takeOver = false;
    output_ = NewOutput();
  }
  running_ = false;
  const RenderResult started = Begin(path);
  LetGoOfOutgoing();
  return started;
}

RenderResult GstGraph::Begin(const std::string& path) {
  const std::shared_ptr<GstOutput> output = output_;
  if (!events_->WaitUntilReady(services_->prerollTimeout, [&] { return output->Hangs(); })) {
    if (output->Lost() && !events_->Failed() && !reopened_) {
      // Not the track's fault: the output hangs (a sound server that stopped answering) or
      // went away. Once more in a new output, which is a silent one as long as the hung one
      // has not ended (its server answers again).
      reopened_ = true;
      if (services_->outputLost) {
        services_->outputLost([alive = output->Alive()] { return !alive.expired(); });
      }
      const RenderResult again = StartAfresh(path);
      reopened_ = false;
      return again;
    }
    return Fail("not ready to play within " + std::to_string(services_->prerollTimeout.count()) +
                " ms");
  }
  if (link_->audioStreams <= 0) return Fail("no audio stream");
  if (!events_->MarkStarted()) return Fail("the pipeline failed");
  started_ = true;
  path_ = path;
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
  if (!started_ || !output_ || output_->Lost() ||
      (services_->outputChanged && services_->outputChanged()))
    return nullptr;
  return std::make_unique<GstGraph>(services_, output_);
}

void GstGraph::Prepare(const std::string& path) {
  if (!after_) return;
  // A path that cannot be opened fails at its turn, in RenderFile, as any start does.
  if (Build(path, true, after_).empty() && after_->Append(link_)) {
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
  running_ = true;
  stopped_ = false;
  if (output_) output_->KeepPlaying();
  if (output_) output_->SetState(GST_STATE_PLAYING);
}

void GstGraph::Pause() {
  running_ = false;
  if (output_) output_->SetState(GST_STATE_PAUSED);
}

void GstGraph::Stop() {
  // A track that has ended while its follower plays leaves the output to the follower.
  if (!Plays()) return;
  Position();  // the last position stays readable after the stop
  running_ = false;
  stopped_ = true;
  output_->StopSoon();
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
  // A lost output's sink may not answer; a seek not yet done would give the old position.
  if (output_->Lost() || output_->Seeking()) return position_;
  gint64 at = 0;
  // Between a flushing seek and the next buffer the query can fail; the last answer stands.
  if (gst_element_query_position(output_->Pipeline(), GST_FORMAT_TIME, &at) && at >= 0)
    position_ = Seconds(at);
  return position_;
}

bool GstGraph::SeekTo(double seconds, double rate) {
  if (!Plays() || !std::isfinite(seconds)) return false;
  const auto at = static_cast<gint64>(std::max(0.0, seconds) * GST_SECOND);
  output_->Seek(rate, at);
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
  // Called on the GUI thread when the graph notified: the moment to act on a lost output.
  if (std::string why; events_->TakeLost(why)) Reopen(why);
  return events_->Pop(event);
}

void GstGraph::Reopen(const std::string& why) {
  if (!started_ || path_.empty() || !link_) return;
  // Where its data had got to: the lost sink cannot say what it played.
  const double at = std::max(position_, Seconds(link_->reached));
  const double rate = rate_;
  const bool running = running_;
  const std::string path = path_;
  // What was learnt of the outputs may hold no longer: the server may come back, or another
  // device be the default now.
  if (services_->outputLost) services_->outputLost(nullptr);
  const RenderResult again = StartAfresh(path);
  if (!again) {
    // The track counts as started still: its failure is one in mid-track.
    events_->MarkStarted();
    events_->Failure(
        "the audio output was lost (" + why + ") and could not be opened again: " + again.reason,
        false);
    return;
  }
  if (at > 0 || rate != 1.0) SeekTo(at, rate);
  rate_ = rate;
  if (running) Run();
}

}  // namespace solka
