// A scripted media back end: graphs "play" files whose durations a test declares, keep a log of
// every call, and queue events only when the test says so (FinishTrack, FailTrack, QueueEvent).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/api/media.h"
#include "platform/memory/memory_desktop.h"

namespace solka {

class ScriptedMediaBackend;

class ScriptedGraph : public MediaGraph {
 public:
  // A follower becomes the live graph when it is started.
  ScriptedGraph(ScriptedMediaBackend& backend, int serial, bool follower = false);
  ~ScriptedGraph() override;

  void SetNotify(std::function<void()> notify) override;
  RenderResult RenderFile(const std::string& path) override;
  void Run() override;
  void Pause() override;
  void Stop() override;
  double Duration() override { return duration_; }
  double Position() override { return position_; }
  void SetPosition(double seconds) override;
  double Rate() override { return rate_; }
  void SetRate(double rate) override;
  void SetVolume(int hundredthsOfDb) override;
  bool GetEvent(MediaEvent& event) override;
  std::unique_ptr<MediaGraph> CreateFollower() override;
  void Prepare(const std::string& path) override;

  // Test side.
  void QueueEvent(MediaEvent event);
  const std::string& Path() const { return path_; }
  int Volume() const { return volume_; }
  bool Running() const { return running_; }
  int Serial() const { return serial_; }
  // Moves the play position as playing would, without a seek.
  void PlayTo(double seconds) { position_ = seconds; }

 private:
  friend class ScriptedMediaBackend;
  ScriptedMediaBackend& backend_;
  int serial_;
  std::string path_;
  std::function<void()> notify_;
  std::vector<MediaEvent> events_;
  double duration_ = 0, position_ = 0, rate_ = 1.0;
  int volume_ = 0;
  bool running_ = false;
  std::string prepared_;  // a follower's prepared file
};

class ScriptedMediaBackend : public MediaBackend {
 public:
  // Notifications are posted to `loop`, as a real back end posts them to the GUI thread.
  explicit ScriptedMediaBackend(ManualEventLoop& loop) : loop_(loop) {}

  std::unique_ptr<MediaGraph> CreateGraph() override;

  // Files that render, with their length in seconds; any other path fails to render, with the
  // reason kNotPlayable.
  void AddPlayable(const std::string& path, double seconds) { playable_[path] = seconds; }
  // The live graph, or null.
  ScriptedGraph* Current() const { return current_; }
  // Queues end-of-stream on the live graph and posts its notification.
  void FinishTrack();
  // Queues a breakdown in mid-track on the live graph and posts its notification.
  void FailTrack(const std::string& reason);
  static constexpr const char* kNotPlayable = "not a playable file (scripted)";
  // Every call on every graph, in order ("render /a.mp3", "run", "volume -100", "release" ...).
  std::vector<std::string> log;
  int LiveGraphs() const { return live_; }
  // Whether graphs offer followers (a back end with gapless output); off: none is offered.
  bool offerFollowers = false;
  // Tracks that started as the follower prepared for them.
  int preparedStarts = 0;

 private:
  friend class ScriptedGraph;
  ManualEventLoop& loop_;
  std::map<std::string, double> playable_;
  ScriptedGraph* current_ = nullptr;
  int serial_ = 0;
  int live_ = 0;
};

}  // namespace solka
