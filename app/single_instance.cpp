#include "app/single_instance.h"

namespace solka {

InstanceRole ClaimOrForward(InterProcess& ipc, Clock& clock, const std::string& argument) {
  InstanceRole role;
  for (int attempt = 0;; ++attempt) {
    LockResult lock = ipc.TryLock(std::string(kInstanceLockName));
    if (lock.state != LockState::HeldElsewhere) {
      // Without a lock at all, playing beats refusing to start.
      role.player = true;
      role.lock = std::move(lock.lock);
      if (lock.state == LockState::Unavailable)
        role.note = "no single-instance lock (" + lock.error + "); running on its own";
      return role;
    }
    const SendResult sent =
        ipc.Send(std::string(kPlayerWindowClass), {1, argument}, kHandOverAnswerMs);
    if (sent.status == SendStatus::Answered) return role;
    if (sent.status == SendStatus::Failed || attempt >= kHandOverRetries) {
      role.note = "no answer from the running player; the argument may not have reached it";
      return role;
    }
    clock.Sleep(kHandOverRetryMs);
  }
}

}  // namespace solka
