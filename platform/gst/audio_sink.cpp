#include "platform/gst/audio_sink.h"

#include <cstdio>
#include <map>
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

GstElement* MakeAudioSink(const std::string& description) {
  // Asked once per description and process: opening a device costs more than a track change.
  static std::mutex mutex;
  static std::map<std::string, bool> opens;
  bool usable;
  {
    std::lock_guard lock(mutex);
    auto it = opens.find(description);
    if (it == opens.end()) it = opens.emplace(description, OutputOpens(description)).first;
    usable = it->second;
  }
  if (!usable && !description.empty()) {
    // A user-given sink that does not work falls back to the default output first.
    static std::once_flag said;
    SayOnce(said, "audio sink \"" + description + "\" cannot be used; using the default output");
    return MakeAudioSink(std::string());
  }
  if (!usable) {
    static std::once_flag said;
    SayOnce(said, "no audio output could be opened; playing to a silent sink");
    return SilentSink();
  }
  GstElement* sink = BuildSink(description);
  return sink ? sink : SilentSink();
}

}  // namespace solka
