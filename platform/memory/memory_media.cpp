#include "platform/memory/memory_media.h"

namespace solka {

ScriptedGraph::ScriptedGraph(ScriptedMediaBackend& backend, int serial, bool follower)
    : backend_(backend), serial_(serial) {
  ++backend_.live_;
  if (!follower) backend_.current_ = this;
}

ScriptedGraph::~ScriptedGraph() {
  --backend_.live_;
  if (backend_.current_ == this) backend_.current_ = nullptr;
  backend_.log.push_back("release");
}

void ScriptedGraph::SetNotify(std::function<void()> notify) {
  notify_ = std::move(notify);
  backend_.log.push_back(notify_ ? "notify on" : "notify off");
}

RenderResult ScriptedGraph::RenderFile(const std::string& path) {
  if (!prepared_.empty() && prepared_ == path) ++backend_.preparedStarts;
  backend_.current_ = this;
  path_ = path;
  backend_.log.push_back("render " + path);
  auto it = backend_.playable_.find(path);
  if (it == backend_.playable_.end())
    return RenderResult::Failure(ScriptedMediaBackend::kNotPlayable);
  duration_ = it->second;
  return RenderResult::Success();
}

void ScriptedGraph::Run() {
  running_ = true;
  backend_.log.push_back("run");
}
void ScriptedGraph::Pause() {
  running_ = false;
  backend_.log.push_back("pause");
}
void ScriptedGraph::Stop() {
  running_ = false;
  backend_.log.push_back("stop");
}
void ScriptedGraph::SetPosition(double seconds) {
  position_ = seconds;
  backend_.log.push_back("seek " + std::to_string(seconds));
}
void ScriptedGraph::SetRate(double rate) {
  rate_ = rate;
  backend_.log.push_back("rate " + std::to_string(rate));
}
void ScriptedGraph::SetVolume(int hundredthsOfDb) {
  volume_ = hundredthsOfDb;
  backend_.log.push_back("volume " + std::to_string(hundredthsOfDb));
}

bool ScriptedGraph::GetEvent(MediaEvent& event) {
  if (events_.empty()) return false;
  event = std::move(events_.front());
  events_.erase(events_.begin());
  return true;
}

std::unique_ptr<MediaGraph> ScriptedGraph::CreateFollower() {
  if (!backend_.offerFollowers) return nullptr;
  backend_.log.push_back("follower");
  return std::make_unique<ScriptedGraph>(backend_, ++backend_.serial_, true);
}

void ScriptedGraph::Prepare(const std::string& path) {
  prepared_ = path;
  backend_.log.push_back("prepare " + path);
}

void ScriptedGraph::QueueEvent(MediaEvent event) {
  events_.push_back(std::move(event));
  // Posted, as a real graph's notification is: it runs from the loop, and is dropped when the
  // graph has gone (or its notification was switched off) by then.
  const int serial = serial_;
  ScriptedMediaBackend& backend = backend_;
  backend_.loop_.Post([&backend, serial] {
    ScriptedGraph* g = backend.current_;
    if (g && g->serial_ == serial && g->notify_) g->notify_();
  });
}

std::unique_ptr<MediaGraph> ScriptedMediaBackend::CreateGraph() {
  log.push_back("create");
  return std::make_unique<ScriptedGraph>(*this, ++serial_);
}

void ScriptedMediaBackend::FinishTrack() {
  if (!current_) return;
  current_->position_ = current_->duration_;
  current_->QueueEvent({MediaEvent::Kind::Ended, {}});
}

void ScriptedMediaBackend::FailTrack(const std::string& reason) {
  if (current_) current_->QueueEvent({MediaEvent::Kind::Failed, reason});
}

}  // namespace solka
