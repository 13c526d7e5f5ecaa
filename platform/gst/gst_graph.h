// One track's graph: a playbin prerolled on one file, with its event queue.
#pragma once

#include <gst/gst.h>

#include <chrono>
#include <functional>
#include <memory>

#include "platform/api/media.h"

namespace solka {

struct GraphEvents;

class GstGraph : public MediaGraph {
 public:
  // Takes ownership of `sink` (floating or not). `post` runs a closure on the GUI thread and is
  // called from streaming threads.
  GstGraph(std::function<void(std::function<void()>)> post, GstElement* sink,
           std::chrono::milliseconds prerollTimeout);
  ~GstGraph() override;
  GstGraph(const GstGraph&) = delete;
  GstGraph& operator=(const GstGraph&) = delete;

  void SetNotify(std::function<void()> notify) override;
  RenderResult RenderFile(const std::string& path) override;
  void Run() override;
  void Pause() override;
  void Stop() override;
  double Duration() override;
  double Position() override;
  void SetPosition(double seconds) override;
  double Rate() override { return rate_; }
  void SetRate(double rate) override;
  void SetVolume(int hundredthsOfDb) override;
  MediaTags Tags() override;
  bool GetEvent(MediaEvent& event) override;

  // The playbin itself, for tests and measurements that watch the output; null if none.
  GstElement* Pipeline() const { return pipeline_; }

 private:
  bool SeekTo(double seconds, double rate);
  RenderResult Fail(std::string fallbackReason);

  std::shared_ptr<GraphEvents> events_;
  GstElement* pipeline_ = nullptr;
  GstElement* volume_ = nullptr;  // the gain in front of the output
  std::chrono::milliseconds prerollTimeout_;
  double rate_ = 1.0;
  double duration_ = 0.0;
  double position_ = 0.0;
};

}  // namespace solka
