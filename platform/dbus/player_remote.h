// The player as the desktop's media controls see it: one snapshot of what plays, and the
// commands they give, each reaching the handler of the matching control of the window. The
// service knows the player through this class only.
#pragma once

#include <string>

namespace solka {

class TDODEDEV;
class WindowCommands;

enum class RemoteStatus { Stopped, Playing, Paused };

struct RemoteState {
  RemoteStatus status = RemoteStatus::Stopped;
  std::string title;  // of the playing track; empty when none
  std::string path;
  double length = 0;    // seconds; 0 when unknown
  double position = 0;  // seconds
  double volume = 1;    // 0 to 1, the volume label's figure over 100
  double rate = 1;
  bool hasTracks = false;
  bool closing = false;  // the run is ending: commands are no longer taken
};

class PlayerRemote {
 public:
  PlayerRemote(TDODEDEV& player, WindowCommands& commands) : player_(player), commands_(commands) {}

  RemoteState Read() const;

  void Next();
  void Previous();
  void PlayPause();
  void Play();
  void Pause();
  void Stop();
  void SeekTo(double seconds);
  void SetVolume(double level);
  void SetRate(double rate);
  void Raise();

 private:
  TDODEDEV& player_;
  WindowCommands& commands_;
};

}  // namespace solka
