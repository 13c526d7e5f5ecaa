// A thread of its own for GStreamer calls that can block without a bound: state changes and
// seeks wait for streaming threads, which a file whose reads never return or a sound server
// that stopped answering can hold for ever. Whoever posts never waits; a thread that is stuck
// holds up only what was posted to it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace solka {

// How many task threads are still running, so that the end of the program can wait a little
// (bounded) for their teardowns before it goes on without them.
class TaskThreads {
 public:
  // True when every thread has ended within `bound`.
  bool WaitForAll(std::chrono::milliseconds bound);

 private:
  friend class TaskThread;
  std::mutex mutex_;
  std::condition_variable changed_;
  int running_ = 0;
};

class TaskThread {
 public:
  explicit TaskThread(std::shared_ptr<TaskThreads> all);
  // Lets the thread run what is queued and then end; never waits for it.
  ~TaskThread();
  TaskThread(const TaskThread&) = delete;
  TaskThread& operator=(const TaskThread&) = delete;

  void Post(std::function<void()> task);
  // Whether one task has been running for longer than `bound`: the thread is stuck.
  bool StuckFor(std::chrono::milliseconds bound);
  // Waits up to `bound` until everything posted so far has run.
  bool Idle(std::chrono::milliseconds bound);

 private:
  struct Queue;
  static void Loop(std::shared_ptr<Queue> queue, std::shared_ptr<TaskThreads> all);
  std::shared_ptr<Queue> queue_;
};

}  // namespace solka
