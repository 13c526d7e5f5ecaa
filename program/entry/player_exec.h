// The program users start (the front) loads neither the GUI toolkit nor the media framework, so
// that a later start hands its argument over in a few milliseconds. The start that is to play
// execs the player program in its place, with the same arguments: the process stays the same
// (later starts see the same live holder of the lock), the lock stays held across exec, and the
// player keeps its settings beside the front, the program the user knows.
#pragma once

#include <optional>
#include <string>

#include "app/single_instance.h"
#include "platform/posix/posix_copy_data.h"

namespace solka {

// The exit status of a front that found no player program to start.
inline constexpr int kNoPlayerStatus = 127;

// In the front, holding the player's role: execs `solka-player` beside this program, else the
// installed one (SOLKA_PLAYER_FROM_BINDIR from this program's folder). Returns only when none
// could be started, with the reason for each place tried.
std::string ExecPlayer(char** argv, const InstanceRole& role);

// In the player, before any thread starts: the role a front passed on (taken out of the
// environment, so that nothing the player starts inherits it), and the front's path in
// `frontProgram`; the process takes the front's name. nullopt when no front started this
// process, or its lock was not usable here.
std::optional<InstanceRole> RoleFromFront(PosixInterProcess& ipc, std::string& frontProgram);

}  // namespace solka
