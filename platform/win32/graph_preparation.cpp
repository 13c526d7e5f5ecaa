#include "platform/win32/graph_preparation.h"

#include <objbase.h>

#include <chrono>
#include <thread>

#include "platform/win32/wasapi_output.h"

namespace solka {

std::shared_ptr<GraphPreparation> GraphPreparation::Start(Job job) {
  auto self = std::make_shared<GraphPreparation>();
  self->gain_ = job.gain;
  self->speed_ = job.speed;
  if (job.running) ++*job.running;
  // Detached: the thread holds what it needs and ends by itself, whoever took the graph.
  std::thread([self, job = std::move(job)]() mutable { self->Work(std::move(job)); }).detach();
  return self;
}

void GraphPreparation::Work(Job job) {
  // The filter graph manager runs on threads of its own and may be built from any apartment;
  // the output's thread keeps the multi-threaded one alive past this thread's end.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  auto graph = std::make_unique<GrabberGraph>();
  bool built = GetFileAttributesW(job.path.c_str()) != INVALID_FILE_ATTRIBUTES &&
               graph->Build(job.path, job.serial, job.window, job.graphMessage);
  if (built) graph->Run();
  {
    const std::lock_guard lock(mutex_);
    if (built && !taken_) {
      // Level and speed before the first frame is taken.
      graph->Feed()->gain = gain_;
      graph->Feed()->speed = speed_;
      // Too late to follow (its predecessor has ended): it starts in a lane of its own.
      job.output->Follow(job.after, graph->Feed());
      graph_ = std::move(graph);
    }
    done_ = true;
    if (!taken_) PostMessageW(job.window, job.doneMessage, 0, static_cast<LPARAM>(job.serial));
  }
  finished_.notify_all();
  graph.reset();  // one nobody wants any more, or one that did not build
  job.after.reset();
  if (com) CoUninitialize();
  if (job.running) --*job.running;
}

void GraphPreparation::SetGain(float gain) {
  const std::lock_guard lock(mutex_);
  gain_ = gain;
  if (graph_) graph_->Feed()->gain = gain;
}

void GraphPreparation::SetSpeed(double speed) {
  const std::lock_guard lock(mutex_);
  speed_ = speed;
  if (graph_) graph_->Feed()->speed = speed;
}

bool GraphPreparation::Wait(DWORD milliseconds) {
  std::unique_lock lock(mutex_);
  return finished_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return done_; });
}

std::unique_ptr<GrabberGraph> GraphPreparation::Take() {
  const std::lock_guard lock(mutex_);
  taken_ = true;
  return std::move(graph_);
}

}  // namespace solka
