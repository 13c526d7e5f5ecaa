// One track's graph: a decoding bin for one file in an output stream, with its event queue.
// A graph started afresh makes its own output; a follower joins its predecessor's.
#pragma once

#include <gst/gst.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/api/media.h"
#include "platform/gst/output_parking.h"
#include "platform/gst/task_thread.h"

namespace solka {

struct GraphEvents;
class GstOutput;
struct TrackLink;
// The tags one track's stream has given so far, written by its streaming threads.
struct GstTrackTags;

// What every graph of one back end shares.
struct GstGraphServices {
  // Runs a closure on the GUI thread; called from streaming threads.
  std::function<void(std::function<void()>)> post;
  // A new sink for a new output stream (a floating reference).
  std::function<GstElement*()> newSink;
  // Whether an output made now would differ from the ones made before (a sound device came or
  // went): a follower would then keep the old one, so none is offered.
  std::function<bool()> outputChanged;
  std::chrono::milliseconds prerollTimeout{5000};
  // The threads that start, stop and tear down outputs and tracks.
  std::shared_ptr<TaskThreads> threads = std::make_shared<TaskThreads>();
  // An output was lost (its server went away, or hangs): what was learnt of the outputs before
  // no longer holds. `hangs`, when given, tells whether the lost output still hangs.
  std::function<void(std::function<bool()> hangs)> outputLost;
  // The output a stopped and released track left for the next start.
  std::shared_ptr<OutputParking> parking = std::make_shared<OutputParking>();
};

class GstGraph : public MediaGraph {
 public:
  // `after`: the output of the predecessor, for a follower; null for a graph of its own.
  GstGraph(std::shared_ptr<const GstGraphServices> services,
           std::shared_ptr<GstOutput> after = nullptr);
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
  std::unique_ptr<MediaGraph> CreateFollower() override;
  void Prepare(const std::string& path) override;

  // The pipeline of its output, for tests and measurements that watch it; null if none.
  GstElement* Pipeline() const;

 private:
  // A new decoding bin for `path` (into link_) to play in `output`; the reason when there can be
  // none.
  std::string Build(const std::string& path, bool follower,
                    const std::shared_ptr<GstOutput>& output);
  std::shared_ptr<GstOutput> NewOutput();
  RenderResult StartAfresh(const std::string& path);
  // Waits for the track in its output to be ready, then counts it as started.
  RenderResult Begin(const std::string& path);
  RenderResult Fail(std::string fallbackReason);
  bool Plays() const;
  bool SeekTo(double seconds, double rate);
  void Leave();
  // The track this one took the output over from goes; this one plays from now on.
  void LetGoOfOutgoing();
  // Its output was lost: the track goes on where it was in a new one, or fails.
  void Reopen(const std::string& why);

  std::shared_ptr<const GstGraphServices> services_;
  std::shared_ptr<GraphEvents> events_;
  std::shared_ptr<GstOutput> after_;   // the predecessor's output, until Prepare
  std::shared_ptr<GstOutput> output_;  // the output this track plays in
  std::shared_ptr<TrackLink> link_;
  std::shared_ptr<TrackLink> outgoing_;  // the stopped track of a taken-over output
  std::shared_ptr<GstTrackTags> tags_;
  GstElement* volume_ = nullptr;  // the track's gain; owned by its bin
  std::string prepared_;          // the path a follower prepares
  std::string path_;              // the path that plays
  int level_ = 0;
  double rate_ = 1.0;
  double duration_ = 0.0;
  double position_ = 0.0;
  bool started_ = false;
  bool running_ = false;   // asked to play rather than to hold
  bool reopened_ = false;  // a start being tried again in a new output
  bool stopped_ = false;   // stopped while it played
};

}  // namespace solka
