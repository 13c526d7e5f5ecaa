#include "app/single_instance.h"

#include "base/paths.h"
#include "playlist/given_path.h"

namespace solka {

namespace {

// A start that finds the lock taken over by another start meanwhile tries that one, this often.
constexpr int kTakeOverRounds = 3;

InstanceRole Player(std::unique_ptr<InstanceLock> lock, std::string note) {
  InstanceRole role;
  role.player = true;
  role.lock = std::move(lock);
  role.note = std::move(note);
  return role;
}

InstanceRole HandedOver(std::string note) {
  InstanceRole role;
  role.note = std::move(note);
  return role;
}

std::string Refusal(std::uint32_t answer, const std::string& argument) {
  if (answer == kHandOverTooLong)
    return "the running player refused the argument: " + std::to_string(argument.size()) +
           " bytes is longer than any path here";
  if (answer == kHandOverMissing)
    return "the running player refused the argument: " + NamesNothingLine(argument);
  return "the running player refused the argument (answer " + std::to_string(answer) + ")";
}

}  // namespace

InstanceRole ClaimOrForward(InterProcess& ipc, Clock& clock, const std::string& argument) {
  const std::string name(kInstanceLockName);
  std::uint64_t holder = 0;
  std::int64_t since = 0;  // when the first frame to this holder went unanswered
  bool unanswered = false;
  for (int round = 0;;) {
    LockResult lock = ipc.TryLock(name);
    if (lock.state == LockState::Acquired) return Player(std::move(lock.lock), "");
    // Without a lock at all, playing beats refusing to start.
    if (lock.state == LockState::Unavailable)
      return Player(nullptr, "no single-instance lock (" + lock.error + "); running on its own");
    if (lock.holder != holder) {
      holder = lock.holder;
      unanswered = false;
    }
    const SendResult sent =
        ipc.Send(std::string(kPlayerWindowClass), {kHandOverData, argument}, kHandOverAnswerMs);
    if (sent.status == SendStatus::Answered)
      return HandedOver(sent.result == kHandOverTaken ? "" : Refusal(sent.result, argument));
    if (sent.status == SendStatus::Refused)
      return HandedOver("the argument was not handed over: " + sent.error);
    // A player that is still starting listens soon, one that is ending lets go of the lock soon,
    // and a busy one answers when it can: a live holder is waited for, never replaced.
    const std::int64_t now = clock.SteadyMilliseconds();
    if (!unanswered) {
      unanswered = true;
      since = now;
    }
    const std::string why =
        sent.status == SendStatus::NoEndpoint ? std::string("nothing listens for it") : sent.error;
    if (!lock.holderGone) {
      if (now - since < kHandOverPatienceMs) {
        clock.Sleep(kHandOverRetryMs);
        continue;
      }
      return HandedOver("the running player did not take the argument within " +
                        std::to_string(kHandOverPatienceMs / 1000) + " s (" + why +
                        "); nothing was handed over");
    }
    if (now - since < kHandOverGoneMs) {
      clock.Sleep(kHandOverRetryMs);
      continue;
    }
    const std::string gone = "the lock holder's process is gone (" + why + ")";
    LockResult taken = ipc.TakeOverLock(name, holder);
    if (taken.state == LockState::Acquired)
      return Player(std::move(taken.lock), gone + "; taking over as the player");
    if (taken.state == LockState::HeldElsewhere && ++round < kTakeOverRounds) continue;
    return Player(nullptr, gone + "; playing on its own (" +
                               (taken.error.empty() ? "the lock is held" : taken.error) + ")");
  }
}

std::uint32_t CheckHandOver(const CopyData& frame, FileSystem& files) {
  if (frame.dwData != kHandOverData) return kHandOverUnknown;
  if (!FitsPathLimit(frame.bytes, files.Syntax())) return kHandOverTooLong;
  // A mistyped path must not stop the music or stand for the folder around it; the sender
  // tells its user why. Only looks at the file system, so the endpoint's thread may ask.
  const std::string path = frame.bytes.substr(0, frame.bytes.find('\0'));
  if (!path.empty() && path != kNextTrackCommand && NamesNothing(files, path))
    return kHandOverMissing;
  return kHandOverTaken;
}

}  // namespace solka
