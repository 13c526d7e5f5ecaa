// Process entry's first decision: one process is the player; every later start hands its first
// argument to that player and ends.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/api/clock.h"
#include "platform/api/copy_data.h"
#include "platform/api/files.h"

namespace solka {

inline constexpr std::string_view kInstanceLockName = "DODEDEV";
inline constexpr std::string_view kPlayerWindowClass = "TDODEDEV";
// Not a path: makes the running player skip to its next track.
inline constexpr std::string_view kNextTrackCommand = "ZZZ_NEXT_PLAY";
// The number field every sender of a hand-over sets.
inline constexpr std::uint32_t kHandOverData = 1;
// The player's answers: taken (acted on once the answer is out), or refused and why.
inline constexpr std::uint32_t kHandOverTaken = 0;
inline constexpr std::uint32_t kHandOverTooLong = 1;  // longer than any path here
inline constexpr std::uint32_t kHandOverUnknown = 2;  // a number field that is no hand-over
inline constexpr std::uint32_t kHandOverMissing = 3;  // a path that names nothing

struct InstanceRole {
  bool player = false;
  // The player holds it for its whole run; null where no lock could be had at all.
  std::unique_ptr<InstanceLock> lock;
  // What went wrong on the way, for the user's terminal; empty when all went well.
  std::string note;
};

// How long a second start waits for the player's answer to its frame.
inline constexpr int kHandOverAnswerMs = 10000;
// A frame that was not answered is sent again after this pause.
inline constexpr int kHandOverRetryMs = 50;
// How long a lock holder whose process is gone may still listen or answer before it is taken
// over (it may have handed its lock to something that is no player).
inline constexpr int kHandOverGoneMs = 10000;
// How long a second start waits for a live lock holder that does not answer (still starting,
// ending, or its endpoint starved) before it gives up; it never becomes a second player.
inline constexpr int kHandOverPatienceMs = 60000;

// Becomes the player when no other process is one; otherwise sends `argument` (the first
// argument, already absolute unless it is the command word) to the player and waits for its
// answer. A player that ends meanwhile hands the role over: the loop then takes the lock itself.
// Only a lock holder whose process is gone is taken over (or, failing that, this start plays on
// its own without the lock); the note says which, or why nothing was handed over.
InstanceRole ClaimOrForward(InterProcess& ipc, Clock& clock, const std::string& argument);

// The running player's answer to a frame, from the frame and the file system alone: taken, or
// why not.
std::uint32_t CheckHandOver(const CopyData& frame, FileSystem& files);

}  // namespace solka
