// What every start does first, the front program and the player alike: answers an option on the
// terminal, or claims the player's role, or hands its first argument to the running player.
#pragma once

#include <optional>
#include <string>

#include "app/single_instance.h"
#include "platform/api/copy_data.h"

namespace solka {

// The exit status of a start that handed its argument over (or had it refused).
inline constexpr int kHandedOverStatus = 1;

// The first argument, with enclosing double quotes removed. Taken as raw bytes: a path need not
// be valid text.
std::string FirstArgument(int argc, char** argv);

// Help, the version and a mistyped option, answered here and never sent to a running player:
// the exit status once the answer is printed; nullopt when `first` is for the player.
std::optional<int> AnswerOnTerminal(const std::string& first);

// ClaimOrForward with `first` made absolute for the player, which does not share this start's
// folder; what went wrong on the way goes to stderr.
InstanceRole ClaimOrHandOver(InterProcess& ipc, const std::string& first);

}  // namespace solka
