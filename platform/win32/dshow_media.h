// The playback graph on DirectShow: one filter graph per track, built by IGraphBuilder::
// RenderFile, driven by IMediaControl and IMediaSeeking, its volume by IBasicAudio.
//
// The graph's events notify a message-only window of the back end with a private message
// (IMediaEventEx::SetNotifyWindow); the window's procedure runs on the GUI thread from its
// message loop and calls the graph's notification, and the core then drains the events. A
// message of a graph that is gone finds no graph and is dropped.
//
// The back end lives on the GUI thread, which it joins to a single-threaded COM apartment.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>

#include "platform/api/media.h"

namespace solka {

class DShowGraph;

class DShowMediaBackend : public MediaBackend {
 public:
  DShowMediaBackend();
  ~DShowMediaBackend() override;
  DShowMediaBackend(const DShowMediaBackend&) = delete;
  DShowMediaBackend& operator=(const DShowMediaBackend&) = delete;

  std::unique_ptr<MediaGraph> CreateGraph() override;

  // The graph's notification message: WM_APP + 1, as the original posts it.
  static constexpr UINT kGraphNotify = WM_APP + 1;

 private:
  friend class DShowGraph;
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  bool comJoined_ = false;
  std::uint64_t nextSerial_ = 1;
  std::map<std::uint64_t, DShowGraph*> graphs_;
};

}  // namespace solka
