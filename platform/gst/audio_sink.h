// The audio output each graph plays to.
#pragma once

#include <gst/gst.h>

#include <string>

namespace solka {

// A new sink for one graph (a floating reference). `description` is a gst-launch bin description
// ("fakesink sync=true"); empty means the desktop's default output. When that output cannot be
// opened (no sound device, no sound server), the sink is a silent one that still keeps real time,
// so that tracks end on time; this is said once per process on stderr.
GstElement* MakeAudioSink(const std::string& description);

}  // namespace solka
