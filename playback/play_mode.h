// The order-of-play menu: an order (N1, N2) and a repetition (R1, R2, R3), each chosen on its
// own, and the mode code they give, stored as JukeMode.
#pragma once

#include <string>

namespace solka {

// The stored codes. A file may hold any other number; it is kept as it is (the enum's range is
// that of int) and plays nothing by itself until the menu chooses a mode.
enum class PlayMode : int {
  ListOnce = 1,
  ListEndless = 2,
  RandomOnce = 3,
  RandomEndless = 4,
  OneSong = 5,
};

// No choice yet is a state of its own: an unknown stored code checks no item.
enum class PlayOrder { None, List, Random };
enum class RepeatMode { None, OneSong, Once, Endless };

struct ModeChoice {
  PlayOrder order = PlayOrder::None;
  RepeatMode repeat = RepeatMode::None;
};

// The items a stored code checks at start-up: 5 checks list order with one song.
ModeChoice ChoiceForMode(PlayMode mode);
// The code the checked items give; `previous` when they give none. One song wins over the order.
PlayMode ModeForChoice(const ModeChoice& choice, PlayMode previous);

inline bool IsRandom(PlayMode mode) {
  return mode == PlayMode::RandomOnce || mode == PlayMode::RandomEndless;
}
// The modes whose run ends after the last row.
inline bool PlaysOnce(PlayMode mode) {
  return mode == PlayMode::ListOnce || mode == PlayMode::RandomOnce;
}

PlayMode PlayModeFromText(const std::string& stored);
std::string PlayModeText(PlayMode mode);

}  // namespace solka
