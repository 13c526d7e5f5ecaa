#include "platform/gst/audio_sink.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <utility>

namespace solka {
namespace {

GstElement* SilentSink() {
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  if (sink) g_object_set(sink, "sync", TRUE, nullptr);
  return sink;
}

void SayOnce(std::once_flag& flag, const std::string& line) {
  std::call_once(flag, [&] { std::fprintf(stderr, "solka: %s\n", line.c_str()); });
}

// The default output, or a user-given description; null when the description does not parse.
GstElement* BuildSink(const std::string& description) {
  if (description.empty()) return gst_element_factory_make("autoaudiosink", nullptr);
  GError* error = nullptr;
  GstElement* sink = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
  if (error) {
    g_error_free(error);
    if (sink) gst_object_unref(gst_object_ref_sink(sink));
    return nullptr;
  }
  return sink;
}

// The automatic sink does not fail when nothing can be opened: it quietly puts a fake sink
// inside itself. Seeing that child is how a missing device shows.
bool HoldsFakeSink(GstElement* element) {
  if (!GST_IS_BIN(element)) return false;
  bool fake = false;
  GstIterator* it = gst_bin_iterate_recurse(GST_BIN(element));
  GValue item = G_VALUE_INIT;
  while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
    GstElement* child = GST_ELEMENT(g_value_get_object(&item));
    GstElementFactory* factory = gst_element_get_factory(child);
    const char* name = factory ? GST_OBJECT_NAME(factory) : "";
    if (g_str_equal(name, "fakesink") || g_str_equal(name, "fakeaudiosink")) fake = true;
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(it);
  return fake;
}

// Opens an instance of the output once, to learn whether a device answers; the instance, open,
// when it does.
GstElement* OpenSink(const std::string& description) {
  GstElement* sink = BuildSink(description);
  if (!sink) return nullptr;
  gst_object_ref_sink(sink);
  const bool ready = gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
  if (ready && (!description.empty() || !HoldsFakeSink(sink))) return sink;
  gst_element_set_state(sink, GST_STATE_NULL);
  gst_object_unref(sink);
  return nullptr;
}

// A sound server that accepts and never answers (stopped) would hold the opening for ever.
constexpr std::chrono::milliseconds kProbeBound{1000};

}  // namespace

OutputOpening::OutputOpening(std::string description) : description_(std::move(description)) {}

OutputOpening::~OutputOpening() {
  if (GstElement* sink = sink_)
    std::thread([sink] {
      gst_element_set_state(sink, GST_STATE_NULL);
      gst_object_unref(sink);
    }).detach();
}

void OutputOpening::Start(const std::shared_ptr<OutputOpening>& opening, std::string environment) {
  {
    std::lock_guard lock(opening->mutex_);
    if (opening->environment_) return;
    opening->environment_ = std::move(environment);
  }
  // The thread keeps the opening: an answer that comes after the bound is still recorded (it
  // tells that the server is back), and a sink it opens then is still closed.
  std::thread([opening] {
    GstElement* sink = OpenSink(opening->description_);
    {
      std::lock_guard lock(opening->mutex_);
      opening->usable_ = sink != nullptr;
      opening->sink_ = sink;
    }
    opening->done_.notify_all();
  }).detach();
}

bool OutputOpening::Matches(const std::string& description, const std::string& environment) {
  std::lock_guard lock(mutex_);
  return description == description_ && environment_ == environment;
}

std::optional<bool> OutputOpening::Wait(std::chrono::milliseconds bound) {
  std::unique_lock lock(mutex_);
  done_.wait_for(lock, bound, [&] { return usable_.has_value(); });
  return usable_;
}

std::optional<bool> OutputOpening::Answer() {
  std::lock_guard lock(mutex_);
  return usable_;
}

GstElement* OutputOpening::TakeSink() {
  std::lock_guard lock(mutex_);
  GstElement* sink = std::exchange(sink_, nullptr);
  // Handed on as a new sink is: floating, for the graph to take.
  if (sink) g_object_force_floating(G_OBJECT(sink));
  return sink;
}

std::optional<bool> AudioOutput::TryOpen(const std::string& description,
                                         const std::string& environment) {
  // One begun at start-up for this output, in this environment, is this opening.
  const bool begun = std::exchange(begun_, false);
  if (!begun || !opening_->Matches(description, environment)) {
    // While one opening hangs, another would hang as well.
    if (opening_ && !begun && !opening_->Answer()) return std::nullopt;
    opening_ = std::make_shared<OutputOpening>(description);
    OutputOpening::Start(opening_, environment);
  }
  return opening_->Wait(kProbeBound);
}

std::string SoundEnvironment() {
  std::string state;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", error))
    state += entry.path().filename().string() + ' ';
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
    for (const char* socket : {"/pulse/native", "/pipewire-0"}) {
      // A server started again makes its socket anew, under the same name.
      struct stat info {};
      if (stat((std::string(runtime) + socket).c_str(), &info) == 0)
        state += std::string(socket) + ':' + std::to_string(info.st_ino) + ':' +
                 std::to_string(info.st_ctim.tv_sec) + '.' + std::to_string(info.st_ctim.tv_nsec) +
                 ' ';
    }
  }
  return state;
}

AudioOutput::AudioOutput(std::string description, std::function<std::string()> environment,
                         std::shared_ptr<OutputOpening> begun)
    : description_(std::move(description)),
      environment_(std::move(environment)),
      opening_(std::move(begun)),
      begun_(opening_ != nullptr) {}

bool AudioOutput::Usable(const std::string& description, const std::string& environment) {
  // Opening an output for nothing costs more than a track change and, when nothing answers,
  // fills stderr with the sound library's complaints: asked again only when that can change
  // the answer.
  Probe& probe = probes_[description];
  if (!probe.known || probe.environment != environment) {
    const std::optional<bool> usable = TryOpen(description, environment);
    probe.usable = usable.value_or(false);
    probe.environment = environment;
    // No answer in time: asked again for the next output.
    probe.known = usable.has_value();
    if (!usable) unanswered_ = true;
  }
  return probe.usable;
}

bool AudioOutput::Changed() {
  // The hung output has ended: its server answers again.
  if (hangs_ && !hangs_()) return true;
  // An opening that hung has answered since: the server is back.
  if (unanswered_ && opening_ && opening_->Answer()) return true;
  return (environment_ ? environment_() : std::string()) != lastEnvironment_;
}

void AudioOutput::Forget(std::function<bool()> hangs) {
  probes_.clear();
  lastEnvironment_ = "lost";
  if (hangs) hangs_ = std::move(hangs);
}

GstElement* AudioOutput::NewSink() {
  const std::string environment = environment_ ? environment_() : std::string();
  lastEnvironment_ = environment;
  unanswered_ = false;
  if (hangs_ && hangs_()) {
    static std::once_flag said;
    SayOnce(said, "the sound server does not answer; playing to a silent sink until it does");
    return SilentSink();
  }
  hangs_ = nullptr;
  std::string description = description_;
  if (!description.empty() && !Usable(description, environment)) {
    // A user-given sink that does not work falls back to the default output first.
    static std::once_flag said;
    SayOnce(said, "audio sink \"" + description + "\" cannot be used; using the default output");
    description.clear();
  }
  if (description.empty() && !Usable(description, environment)) {
    static std::once_flag said;
    SayOnce(said, "no audio output could be opened; playing to a silent sink");
    return SilentSink();
  }
  // The instance that was opened to find out is the one to play to: opened once, not twice.
  if (opening_ && opening_->Matches(description, environment))
    if (GstElement* opened = opening_->TakeSink()) return opened;
  GstElement* sink = BuildSink(description);
  return sink ? sink : SilentSink();
}

}  // namespace solka
