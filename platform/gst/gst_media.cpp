#include "platform/gst/gst_media.h"

#include <gst/gst.h>

#include <mutex>

#include "platform/gst/audio_sink.h"
#include "platform/gst/gst_graph.h"

namespace solka {

GstMediaBackend::GstMediaBackend(PostToGui postToGui, GstMediaOptions options)
    : options_(std::move(options)) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { gst_init(nullptr, nullptr); });
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
  return std::make_unique<GstGraph>(services_);
}

}  // namespace solka
