#include "platform/gst/gst_media.h"

#include <gst/gst.h>

#include <mutex>

#include "platform/gst/audio_sink.h"
#include "platform/gst/decoder_ranks.h"
#include "platform/gst/gst_graph.h"

namespace solka {

GstMediaBackend::GstMediaBackend(PostToGui postToGui, GstMediaOptions options)
    : post_(std::move(postToGui)), options_(std::move(options)) {
  static std::once_flag initialised;
  std::call_once(initialised, [] {
    gst_init(nullptr, nullptr);
    PreferCheapestDecoders();
  });
  output_ = options_.soundEnvironment
                ? std::make_unique<AudioOutput>(options_.audioSink, options_.soundEnvironment)
                : std::make_unique<AudioOutput>(options_.audioSink);
}

GstMediaBackend::~GstMediaBackend() = default;

std::unique_ptr<MediaGraph> GstMediaBackend::CreateGraph() {
  return std::make_unique<GstGraph>(post_, output_->NewSink(), options_.prerollTimeout);
}

}  // namespace solka
