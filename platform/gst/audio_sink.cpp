#include "platform/gst/audio_sink.h"

#include <sys/stat.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

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

// Opens a throw-away instance of the output once, to learn whether a device answers.
bool OutputOpens(const std::string& description) {
  GstElement* probe = BuildSink(description);
  if (!probe) return false;
  gst_object_ref_sink(probe);
  const bool ready = gst_element_set_state(probe, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
  const bool usable = ready && (!description.empty() || !HoldsFakeSink(probe));
  gst_element_set_state(probe, GST_STATE_NULL);
  gst_object_unref(probe);
  return usable;
}

// A sound server that accepts and never answers (stopped) would hold the opening for ever.
constexpr std::chrono::milliseconds kProbeBound{1000};

}  // namespace

// One opening of the output on a thread of its own; its answer, if it comes in time.
struct AudioOutput::Opening {
  std::mutex mutex;
  std::condition_variable done;
  std::optional<bool> usable;
};

std::optional<bool> AudioOutput::TryOpen(const std::string& description) {
  // While one opening hangs, another would hang as well.
  if (opening_) {
    std::lock_guard lock(opening_->mutex);
    if (!opening_->usable) return std::nullopt;
  }
  auto opening = std::make_shared<Opening>();
  opening_ = opening;
  std::thread([opening, description] {
    const bool usable = OutputOpens(description);
    {
      std::lock_guard lock(opening->mutex);
      opening->usable = usable;
    }
    opening->done.notify_all();
  }).detach();
  std::unique_lock lock(opening->mutex);
  opening->done.wait_for(lock, kProbeBound, [&] { return opening->usable.has_value(); });
  return opening->usable;
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

AudioOutput::AudioOutput(std::string description, std::function<std::string()> environment)
    : description_(std::move(description)), environment_(std::move(environment)) {}

bool AudioOutput::Usable(const std::string& description, const std::string& environment) {
  // Opening an output for nothing costs more than a track change and, when nothing answers,
  // fills stderr with the sound library's complaints: asked again only when that can change
  // the answer.
  Probe& probe = probes_[description];
  if (!probe.known || probe.environment != environment) {
    const std::optional<bool> usable = TryOpen(description);
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
  if (unanswered_ && opening_) {
    // An opening that hung has answered since: the server is back.
    std::lock_guard lock(opening_->mutex);
    if (opening_->usable) return true;
  }
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
  GstElement* sink = BuildSink(description);
  return sink ? sink : SilentSink();
}

}  // namespace solka
