#include "platform/gst/gst_media.h"

#include <gst/gst.h>

#include <mutex>

#include "platform/gst/audio_sink.h"
#include "platform/gst/decoder_ranks.h"
#include "platform/gst/gst_graph.h"

namespace solka {

namespace {

constexpr std::chrono::milliseconds kTeardownBound{500};

void Initialise() {
  static std::once_flag initialised;
  std::call_once(initialised, [] {
    gst_init(nullptr, nullptr);
    PreferCheapestDecoders();
  });
}

}  // namespace

GstEarlyStart::GstEarlyStart(std::string audioSink)
    : output_(std::make_shared<OutputOpening>(std::move(audioSink))), thread_([output = output_] {
        Initialise();
        // First: its answers from the sound server come while the rest goes on here.
        OutputOpening::Start(output, SoundEnvironment());
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
  output_ = std::make_unique<AudioOutput>(
      options_.audioSink, options_.soundEnvironment ? options_.soundEnvironment : SoundEnvironment,
      options_.begunOutput);
  AudioOutput* output = output_.get();
  // Teardowns still running on their threads when the back end goes post nothing more.
  PostToGui post = [alive = alive_, postToGui = std::move(postToGui)](std::function<void()> f) {
    if (*alive) postToGui(std::move(f));
  };
  GstGraphServices services;
  services.post = std::move(post);
  services.newSink = [output] { return output->NewSink(); };
  services.outputChanged = [output] { return output->Changed(); };
  services.prerollTimeout = options_.prerollTimeout;
  services.outputLost = [output](std::function<bool()> hangs) { output->Forget(std::move(hangs)); };
  services_ = std::make_shared<const GstGraphServices>(std::move(services));
}

GstMediaBackend::~GstMediaBackend() {
  // The outputs and tracks of the last graphs end on their own threads: a short wait lets them
  // close their sinks and files; one stuck (a stopped sound server, a file that never answers)
  // is left behind, so that the program still ends on time.
  services_->parking->Expire();
  services_->threads->WaitForAll(kTeardownBound);
  *alive_ = false;
}

std::unique_ptr<MediaGraph> GstMediaBackend::CreateGraph() {
  Initialise();
  return std::make_unique<GstGraph>(services_);
}

}  // namespace solka
