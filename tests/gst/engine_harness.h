// Drives the real engine from a test: a back end whose notifications arrive as queued calls on
// the test's thread, and a probe on the output that sees every buffer the sink receives.
#pragma once

#include <gst/gst.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/gst/gst_graph.h"
#include "platform/gst/gst_media.h"

namespace solka::testing_gst {

inline PostToGui QueuedCall() {
  return [](std::function<void()> f) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(f), Qt::QueuedConnection);
  };
}

// Runs the event loop until `done` holds or `limit` has passed; the result of `done`.
template <class Done>
bool PumpUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// A silent output that keeps real time, so tracks end on time without a sound card.
inline constexpr const char* kSilentSink = "fakesink sync=true";

// An output of 32-bit float stereo frames whose buffers the probe below can read.
inline const char* kProbeSink(bool sync) {
  return sync ? "audioconvert ! audio/x-raw,format=F32LE,channels=2 ! fakesink name=probe sync=true"
              : "audioconvert ! audio/x-raw,format=F32LE,channels=2 ! fakesink name=probe "
                "sync=false";
}

// Counts the frames and the peak level of every buffer that reaches the probe sink. What it
// counts is shared with the pad, so either may go first.
class OutputProbe {
 public:
  explicit OutputProbe(GstElement* pipeline) {
    if (!pipeline) return;
    if (GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "probe")) {
      GstPad* pad = gst_element_get_static_pad(sink, "sink");
      gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &OutputProbe::OnBuffer,
                        new std::shared_ptr<Counts>(counts_), &OutputProbe::Forget);
      gst_object_unref(pad);
      gst_object_unref(sink);
      attached_ = true;
    }
  }
  bool Attached() const { return attached_; }
  void Reset() {
    std::lock_guard lock(counts_->mutex);
    counts_->frames = 0;
    counts_->peaks.clear();
  }
  long Frames() {
    std::lock_guard lock(counts_->mutex);
    return counts_->frames;
  }
  std::vector<float> Peaks() {
    std::lock_guard lock(counts_->mutex);
    return counts_->peaks;
  }
  // The left channel as recorded, from the first sample.
  std::vector<float> Samples() {
    std::lock_guard lock(counts_->mutex);
    return counts_->left;
  }
  std::vector<float> Right() {
    std::lock_guard lock(counts_->mutex);
    return counts_->right;
  }
  // The sample rate of the last buffer.
  int Rate() {
    std::lock_guard lock(counts_->mutex);
    return counts_->rate;
  }

 private:
  struct Counts {
    std::mutex mutex;
    long frames = 0;
    std::vector<float> peaks;
    std::vector<float> left;
    std::vector<float> right;
    int rate = 0;
  };

  static void Forget(gpointer data) { delete static_cast<std::shared_ptr<Counts>*>(data); }
  static GstPadProbeReturn OnBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
    Counts& counts = **static_cast<std::shared_ptr<Counts>*>(data);
    int rate = 0;
    if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
      gst_structure_get_int(gst_caps_get_structure(caps, 0), "rate", &rate);
      gst_caps_unref(caps);
    }
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return GST_PAD_PROBE_OK;
    const auto* samples = reinterpret_cast<const float*>(map.data);
    const std::size_t count = map.size / sizeof(float);
    float peak = 0;
    for (std::size_t i = 0; i < count; ++i) peak = std::max(peak, std::fabs(samples[i]));
    std::lock_guard lock(counts.mutex);
    counts.frames += static_cast<long>(count / 2);
    counts.peaks.push_back(peak);
    for (std::size_t i = 0; i + 1 < count; i += 2) {
      counts.left.push_back(samples[i]);
      counts.right.push_back(samples[i + 1]);
    }
    gst_buffer_unmap(buffer, &map);
    counts.rate = rate;
    return GST_PAD_PROBE_OK;
  }

  std::shared_ptr<Counts> counts_ = std::make_shared<Counts>();
  bool attached_ = false;
};

}  // namespace solka::testing_gst
