// The playback back end on DirectShow. Each track has its own graph (platform/win32/
// dshow_graph.h); those that decode to PCM play through one output stream of the player's that
// outlives them (platform/win32/wasapi_output.h), the others through the system's renderer.
//
// The graphs' events notify a message-only window of the back end with a private message
// (IMediaEventEx::SetNotifyWindow), and the output announces a track's end there too; the
// window's procedure runs on the GUI thread from its message loop and calls the graph's
// notification, and the core then drains the events. A message of a graph that is gone finds
// no graph and is dropped.
//
// The back end lives on the GUI thread, which it joins to a single-threaded COM apartment. A
// follower's graph is built on a thread of its own (platform/win32/graph_preparation.h), which
// announces the outcome to the window with a private message too.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>

#include "platform/api/media.h"

namespace solka {

class DShowGraph;
class WasapiOutput;

class DShowMediaBackend : public MediaBackend {
 public:
  // `playerOutput` false: every track takes the system's renderer, as before the player had an
  // output of its own (for comparisons).
  explicit DShowMediaBackend(bool playerOutput = true);
  ~DShowMediaBackend() override;
  DShowMediaBackend(const DShowMediaBackend&) = delete;
  DShowMediaBackend& operator=(const DShowMediaBackend&) = delete;

  std::unique_ptr<MediaGraph> CreateGraph() override;
  // The player's output, opened on first use; null when it is off or no device opens.
  WasapiOutput* Output();

  // The graph's notification message: WM_APP + 1, as the original posts it.
  static constexpr UINT kGraphNotify = WM_APP + 1;
  // The output's: a track's end (its last frame taken or heard).
  static constexpr UINT kTrackEnded = WM_APP + 2;
  // A follower's preparing thread has finished building its graph.
  static constexpr UINT kPrepared = WM_APP + 3;
  // How many preparing threads are still running (each ends by itself).
  int Preparing() const { return *preparing_; }

 private:
  friend class DShowGraph;
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  bool comJoined_ = false;
  bool playerOutput_ = true;
  std::uint64_t nextSerial_ = 1;
  std::map<std::uint64_t, DShowGraph*> graphs_;
  std::unique_ptr<WasapiOutput> output_;
  std::shared_ptr<std::atomic<int>> preparing_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace solka
