#include "platform/gst/task_thread.h"

#include <thread>
#include <utility>

namespace solka {

using Clock = std::chrono::steady_clock;

struct TaskThread::Queue {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::function<void()>> tasks;
  bool ending = false;
  bool busy = false;
  Clock::time_point since;
};

bool TaskThreads::WaitForAll(std::chrono::milliseconds bound) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, bound, [this] { return running_ == 0; });
}

TaskThread::TaskThread(std::shared_ptr<TaskThreads> all) : queue_(std::make_shared<Queue>()) {
  {
    std::lock_guard lock(all->mutex_);
    ++all->running_;
  }
  // Detached: the thread owns its queue, so it may outlive this object (and, when stuck, the
  // player itself, which must still end on time).
  std::thread(&TaskThread::Loop, queue_, std::move(all)).detach();
}

TaskThread::~TaskThread() {
  {
    std::lock_guard lock(queue_->mutex);
    queue_->ending = true;
  }
  queue_->changed.notify_all();
}

void TaskThread::Post(std::function<void()> task) {
  {
    std::lock_guard lock(queue_->mutex);
    queue_->tasks.push_back(std::move(task));
  }
  queue_->changed.notify_all();
}

bool TaskThread::StuckFor(std::chrono::milliseconds bound) {
  std::lock_guard lock(queue_->mutex);
  return queue_->busy && Clock::now() - queue_->since > bound;
}

bool TaskThread::Idle(std::chrono::milliseconds bound) {
  std::unique_lock lock(queue_->mutex);
  return queue_->changed.wait_for(lock, bound,
                                  [this] { return !queue_->busy && queue_->tasks.empty(); });
}

void TaskThread::Loop(std::shared_ptr<Queue> queue, std::shared_ptr<TaskThreads> all) {
  std::unique_lock lock(queue->mutex);
  for (;;) {
    queue->changed.wait(lock, [&] { return queue->ending || !queue->tasks.empty(); });
    if (queue->tasks.empty()) break;
    std::function<void()> task = std::move(queue->tasks.front());
    queue->tasks.pop_front();
    queue->busy = true;
    queue->since = Clock::now();
    lock.unlock();
    task();
    task = nullptr;  // what it holds goes here, on this thread
    lock.lock();
    queue->busy = false;
    queue->changed.notify_all();
  }
  lock.unlock();
  {
    std::lock_guard count(all->mutex_);
    --all->running_;
  }
  all->changed_.notify_all();
}

}  // namespace solka
