// What the desktop's media controls (media keys, the desktop's player applet) see of the player
// and may ask of it: one snapshot of what plays, and commands that each reach the handler of the
// matching control of the window through the window's command surface. A desktop service knows
// the player through this class only.
#pragma once

#include <string>

#include "platform/api/media.h"

namespace solka {

class TDODEDEV;
class WindowCommands;

// The speeds the speed label steps through, slowest first.
inline constexpr double kPlayerSpeeds[] = {0.8, 1.0, 1.5};

enum class RemoteStatus { Stopped, Playing, Paused };

struct RemoteState {
  RemoteStatus status = RemoteStatus::Stopped;
  std::string title;  // of the playing track, as the window shows it; empty when none
  std::string path;
  MediaTags tags;       // what the playing track's own tags say
  double length = 0;    // seconds; 0 when unknown
  double position = 0;  // seconds
  double volume = 1;    // 0 to 1, the cube root of the linear gain; 0 while muted or silent
  double rate = 1;
  bool hasTracks = false;
  bool closing = false;  // the run is ending: commands are no longer taken
};

class PlayerRemote {
 public:
  PlayerRemote(TDODEDEV& player, WindowCommands& commands) : player_(player), commands_(commands) {}

  RemoteState Read() const;

  // A paused or stopped player stays so; next past the end of a list that plays once stops.
  void Next();
  void Previous();
  void PlayPause();
  void Play();
  void Pause();
  void Stop();
  void SeekTo(double seconds);
  void SetVolume(double level);  // 0 to 1, the cube root of the linear gain
  void SetRate(double rate);
  void Raise();
  // Plays a file, folder or list file the way a second start of the program hands one over.
  void Open(const std::string& path);

 private:
  TDODEDEV& player_;
  WindowCommands& commands_;
};

}  // namespace solka
