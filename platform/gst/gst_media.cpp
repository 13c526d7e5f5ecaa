#include "platform/gst/gst_media.h"

#include <gst/gst.h>

#include <mutex>

#include "platform/gst/audio_sink.h"
#include "platform/gst/decoder_ranks.h"
#include "platform/gst/gst_graph.h"

namespace solka {

namespace {

void Initialise() {
  static std::once_flag initialised;
  std::call_once(initialised, [] {
    gst_init(nullptr, nullptr);
    PreferCheapestDecoders();
  });
}

}  // namespace

GstEarlyStart::GstEarlyStart()
    : thread_([] {
        Initialise();
        // The plugins of the graph itself and of its output; a format's own come with its file.
        for (const char* plugin : {"playback", "coreelements", "typefindfunctions", "audioconvert",
                                   "audioresample", "volume", "audiofx", "autodetect"})
          if (GstPlugin* loaded = gst_plugin_load_by_name(plugin)) gst_object_unref(loaded);
        // The first element of a kind sets up its class, which for the decoding bins takes
        // milliseconds: done here, the first track's graph finds them ready.
        for (const char* kind : {"uridecodebin", "decodebin", "typefind", "filesrc", "audioconvert",
                                 "audioresample", "capsfilter", "scaletempo", "volume", "concat"})
          if (GstElement* element = gst_element_factory_make(kind, nullptr))
            gst_object_unref(gst_object_ref_sink(element));
      }) {}

GstEarlyStart::~GstEarlyStart() {
  thread_.join();
}

GstMediaBackend::GstMediaBackend(PostToGui postToGui, GstMediaOptions options)
    : options_(std::move(options)) {
  // GStreamer is started with the first graph: until then the early start may still be at it
  // while the window is built.
  output_ = options_.soundEnvironment
                ? std::make_unique<AudioOutput>(options_.audioSink, options_.soundEnvironment)
                : std::make_unique<AudioOutput>(options_.audioSink);
  AudioOutput* output = output_.get();
  services_ = std::make_shared<const GstGraphServices>(
      GstGraphServices{std::move(postToGui), [output] { return output->NewSink(); },
                       [output] { return output->Changed(); }, options_.prerollTimeout});
}

GstMediaBackend::~GstMediaBackend() = default;

std::unique_ptr<MediaGraph> GstMediaBackend::CreateGraph() {
  Initialise();
  return std::make_unique<GstGraph>(services_);
}

}  // namespace solka
