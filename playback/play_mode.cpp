#include "playback/play_mode.h"

#include "base/text.h"

namespace solka {

ModeChoice ChoiceForMode(PlayMode mode) {
  switch (mode) {
    case PlayMode::ListOnce:
      return {PlayOrder::List, RepeatMode::Once};
    case PlayMode::ListEndless:
      return {PlayOrder::List, RepeatMode::Endless};
    case PlayMode::RandomOnce:
      return {PlayOrder::Random, RepeatMode::Once};
    case PlayMode::RandomEndless:
      return {PlayOrder::Random, RepeatMode::Endless};
    case PlayMode::OneSong:
      return {PlayOrder::List, RepeatMode::OneSong};
  }
  return {};
}

PlayMode ModeForChoice(const ModeChoice& choice, PlayMode previous) {
  if (choice.repeat == RepeatMode::OneSong) return PlayMode::OneSong;
  const bool once = choice.repeat == RepeatMode::Once;
  const bool endless = choice.repeat == RepeatMode::Endless;
  if (choice.order == PlayOrder::List && (once || endless))
    return once ? PlayMode::ListOnce : PlayMode::ListEndless;
  if (choice.order == PlayOrder::Random && (once || endless))
    return once ? PlayMode::RandomOnce : PlayMode::RandomEndless;
  return previous;
}

PlayMode PlayModeFromText(const std::string& stored) {
  return static_cast<PlayMode>(ToIntDef(stored, static_cast<int>(PlayMode::ListOnce)));
}

std::string PlayModeText(PlayMode mode) {
  return std::to_string(static_cast<int>(mode));
}

}  // namespace solka
