#include "platform/gst/audio_sink.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

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

}  // namespace

std::string SoundEnvironment() {
  std::string state;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", error))
    state += entry.path().filename().string() + ' ';
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
    for (const char* socket : {"/pulse/native", "/pipewire-0"})
      if (std::filesystem::exists(std::string(runtime) + socket, error)) state += socket;
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
    probe.usable = OutputOpens(description);
    probe.environment = environment;
    probe.known = true;
  }
  return probe.usable;
}

bool AudioOutput::Changed() {
  return (environment_ ? environment_() : std::string()) != lastEnvironment_;
}

GstElement* AudioOutput::NewSink() {
  const std::string environment = environment_ ? environment_() : std::string();
  lastEnvironment_ = environment;
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
