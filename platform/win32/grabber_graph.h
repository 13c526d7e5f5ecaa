// A track's decoding graph that hands its sound to the player instead of to the system's
// renderer: the file's source and whatever decoders the system chooses, then a sample grabber
// that asks for PCM, then a null renderer. The graph runs without a reference clock, so it
// decodes as fast as the track's bounded feed takes the data.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/win32/track_feed.h"

struct IGraphBuilder;
struct IMediaControl;
struct IMediaEventEx;
struct IMediaSeeking;
struct IBaseFilter;
struct ISampleGrabber;

namespace solka {

class FeedCallback;

class GrabberGraph {
 public:
  GrabberGraph() = default;
  ~GrabberGraph();
  GrabberGraph(const GrabberGraph&) = delete;
  GrabberGraph& operator=(const GrabberGraph&) = delete;

  // Builds the graph; false when the file does not decode into PCM for the player (no decoder
  // connects to the grabber, or an unusable format). Its events notify `window` with `message`
  // and `serial`.
  bool Build(const std::wstring& path, std::uint64_t serial, HWND window, UINT message);
  const std::shared_ptr<TrackFeed>& Feed() const { return feed_; }

  // Decoding runs, as far ahead as the feed holds.
  void Run();
  void Stop();
  double Duration();
  // Decoding goes on from `seconds`; the feed counts its position from there.
  void Seek(double seconds);
  // Reads the graph's queued events: the decoder's end finishes the feed; a breakdown does too
  // (what was decoded still plays) and is returned. S_OK when nothing broke down.
  HRESULT Drain();
  // Waits, bounded, until the first data is there or the decoding has ended or broken down.
  HRESULT WaitForData(DWORD milliseconds);

 private:
  IGraphBuilder* builder_ = nullptr;
  IMediaControl* control_ = nullptr;
  IMediaEventEx* events_ = nullptr;
  IMediaSeeking* seeking_ = nullptr;
  IBaseFilter* grabberFilter_ = nullptr;
  ISampleGrabber* grabber_ = nullptr;
  IBaseFilter* sink_ = nullptr;
  FeedCallback* callback_ = nullptr;
  std::shared_ptr<TrackFeed> feed_;
};

}  // namespace solka
