// A follower's grabber graph, built on a thread of its own: finding a file's source and decoders
// and starting them can take longer than a short track plays on a busy machine, and the GUI
// thread must not wait for it. The thread joins the finished graph to its predecessor's lane at
// once (so the turn does not depend on the GUI loop), then posts `done` to the back end's window
// with the graph's serial.
//
// Whoever stops wanting the graph takes it: what is built by then comes back, and what is still
// being built is torn down by the thread itself, so neither waits for the other.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/win32/grabber_graph.h"

namespace solka {

class WasapiOutput;

class GraphPreparation {
 public:
  struct Job {
    std::wstring path;
    std::uint64_t serial = 0;
    HWND window = nullptr;
    UINT graphMessage = 0;  // the graph's own events
    UINT doneMessage = 0;   // the build has finished, well or not
    std::shared_ptr<TrackFeed> after;
    WasapiOutput* output = nullptr;  // used only until the graph is taken
    float gain = 1.0f;
    double speed = 1.0;
    // Counts the threads still running, for the back end's bounded wait at its end.
    std::shared_ptr<std::atomic<int>> running;
  };

  // Starts the thread; returns at once.
  static std::shared_ptr<GraphPreparation> Start(Job job);

  // GUI thread: the level and speed the graph starts with, when it has not been built yet.
  void SetGain(float gain);
  void SetSpeed(double speed);
  // Waits, bounded, for the build to finish; whether it has.
  bool Wait(DWORD milliseconds);
  // The graph as far as it is built (following its predecessor, unless that had ended): null
  // while building (the thread then tears it down) or when it did not build.
  std::unique_ptr<GrabberGraph> Take();

 private:
  void Work(Job job);

  std::mutex mutex_;
  std::condition_variable finished_;
  bool done_ = false, taken_ = false;
  float gain_ = 1.0f;
  double speed_ = 1.0;
  std::unique_ptr<GrabberGraph> graph_;
};

}  // namespace solka
