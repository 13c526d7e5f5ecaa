// The window's view state, the companion program and the track information told to others.
// Plain data, read through TDODEDEV::Window(), Companion() and TrackInfo().
#pragma once

#include <string>

namespace solka {

struct WindowState {
  bool CompactView = false;  // ListHide
  bool InTray = false;
  bool MouseOverList = false;
  int ScreenHeight = 0;
  int CaptionHeight = 0;
  bool Closing = false;         // FormClose has begun; a second close request finds it set
  bool ScrollWidthDue = false;  // FitScrollWidth waits for the window to be shown
};

struct CompanionState {
  std::string CompanionPath;
  bool CompanionAvailable = false;
  long long CompanionStartedAt = -1;  // steady milliseconds of the last companion start
};

struct TrackInfoState {
  std::string TagTitle, TagArtist;  // the tag last read (AG1)
  bool NowPlayingOn = false;        // now-playing broadcast
};

}  // namespace solka
