// One track's graph on DirectShow. A file that decodes to PCM plays through the player's own
// output (a grabber graph feeding the shared stream, with followers for gapless play); any other
// file takes the system's renderer: one filter graph built by IGraphBuilder::RenderFile, its
// volume by IBasicAudio, its rate by IMediaSeeking.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "platform/api/media.h"
#include "platform/win32/grabber_graph.h"
#include "platform/win32/graph_preparation.h"

struct IGraphBuilder;
struct IMediaControl;
struct IMediaEventEx;
struct IMediaSeeking;
struct IBasicAudio;

namespace solka {

class DShowMediaBackend;

class DShowGraph : public MediaGraph {
 public:
  // `after`: the feed of the track this one is to follow; null for a graph of its own.
  DShowGraph(DShowMediaBackend& backend, std::uint64_t serial,
             std::shared_ptr<TrackFeed> after = nullptr);
  ~DShowGraph() override;
  DShowGraph(const DShowGraph&) = delete;
  DShowGraph& operator=(const DShowGraph&) = delete;

  void SetNotify(std::function<void()> notify) override { notify_ = std::move(notify); }
  RenderResult RenderFile(const std::string& path) override;
  void Run() override;
  void Pause() override;
  void Stop() override;
  double Duration() override;
  double Position() override;
  void SetPosition(double seconds) override;
  double Rate() override;
  void SetRate(double rate) override;
  void SetVolume(int hundredthsOfDb) override;
  bool GetEvent(MediaEvent& event) override;
  std::unique_ptr<MediaGraph> CreateFollower() override;
  void Prepare(const std::string& path) override;

  // Whether the track plays through the player's own output.
  bool ThroughPlayer() const { return player_ != nullptr; }

  // The graph's own notification arrived; the output says the track's end has come.
  void OnGraphEvents();
  void OnEnded();
  // The follower's graph has been built on its own thread, or could not be.
  void OnPrepared();

 private:
  // The player's path; false when the file does not decode into it (nothing is left behind).
  bool BuildPlayer(const std::wstring& path);
  RenderResult RenderThroughPlayer();
  RenderResult RenderThroughRenderer(const std::wstring& path);
  void LeavePlayer();
  // Takes over what the preparing thread has built; drops the preparation.
  void AdoptPrepared();
  void Queue(MediaEvent event);

  DShowMediaBackend& backend_;
  const std::uint64_t serial_;
  std::function<void()> notify_;
  std::deque<MediaEvent> queue_;
  long volume_ = 0;
  double rate_ = 1.0;
  double lastPosition_ = 0.0;
  // The player's path.
  std::shared_ptr<TrackFeed> after_;  // a follower's predecessor, until Prepare
  std::unique_ptr<GrabberGraph> player_;
  std::string prepared_;  // the path a follower prepared and joined the output with
  std::shared_ptr<GraphPreparation> preparing_;  // while its graph is being built
  std::string preparedFailure_;
  // The renderer's path.
  IGraphBuilder* builder_ = nullptr;
  IMediaControl* control_ = nullptr;
  IMediaEventEx* events_ = nullptr;
  IMediaSeeking* seeking_ = nullptr;
  IBasicAudio* audio_ = nullptr;
};

}  // namespace solka
