#include "app/single_instance.h"

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
  int tries = 0;  // hand-overs to this holder that found nobody listening
  for (int round = 0;;) {
    LockResult lock = ipc.TryLock(name);
    if (lock.state == LockState::Acquired) return Player(std::move(lock.lock), "");
    // Without a lock at all, playing beats refusing to start.
    if (lock.state == LockState::Unavailable)
      return Player(nullptr, "no single-instance lock (" + lock.error + "); running on its own");
    if (lock.holder != holder) {
      holder = lock.holder;
      tries = 0;
    }
    const SendResult sent =
        ipc.Send(std::string(kPlayerWindowClass), {kHandOverData, argument}, kHandOverAnswerMs);
    if (sent.status == SendStatus::Answered)
      return HandedOver(sent.result == kHandOverTaken ? "" : Refusal(sent.result, argument));
    if (sent.status == SendStatus::Refused)
      return HandedOver("the argument was not handed over: " + sent.error);
    // A player that is still starting listens soon; one that never does, or does not answer,
    // must not leave the user without a player.
    if (sent.status == SendStatus::NoEndpoint && ++tries <= kHandOverRetries) {
      clock.Sleep(kHandOverRetryMs);
      continue;
    }
    const std::string why = "the lock holder does not answer (" +
                            (sent.status == SendStatus::NoEndpoint
                                 ? "nothing listens for it after " +
                                       std::to_string(kHandOverRetries * kHandOverRetryMs) + " ms"
                                 : sent.error) +
                            ")";
    LockResult taken = ipc.TakeOverLock(name, holder);
    if (taken.state == LockState::Acquired)
      return Player(std::move(taken.lock), why + "; taking over as the player");
    if (taken.state == LockState::HeldElsewhere && ++round < kTakeOverRounds) continue;
    return Player(nullptr, why + "; playing on its own (" +
                               (taken.error.empty() ? "the lock is held" : taken.error) + ")");
  }
}

}  // namespace solka
