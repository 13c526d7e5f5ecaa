// Copy-data messages between processes of the same user on this machine, addressed by window
// class name, and the instance lock that makes exactly one process the player.
//
// Contract:
// - Every call is made on the GUI thread (process entry, before the event loop runs, counts as
//   the GUI thread too). None throws.
// - Only processes of the same user reach an endpoint, and a sender talks only to an endpoint of
//   its own user.
// - No call blocks longer than it says. The GUI thread never waits on a peer: reading a frame
//   happens elsewhere, so a peer that sends slowly, sends nothing or announces a huge frame cannot
//   hold it up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace solka {

// One message: the number field and the data block, raw bytes without terminator.
struct CopyData {
  std::uint32_t dwData = 0;
  std::string bytes;
  bool operator==(const CopyData&) const = default;
};

// Data blocks larger than this are refused by sender and receiver alike; the receiver drops such
// a frame unread and goes on serving others.
inline constexpr std::size_t kMaxCopyDataBytes = 64 * 1024;

// Held while the object lives. The system releases it when the process ends in any way, a crash
// included, so a lock is never left behind.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
};

// A listening endpoint. Destroying it stops deliveries at once: a frame that has been answered but
// not yet reached the handler is dropped. The endpoint's name is removed from the system.
class CopyDataEndpoint {
 public:
  virtual ~CopyDataEndpoint() = default;
};

// Answers a frame from the frame alone, as soon as it has arrived whole: 0 takes it, anything else
// refuses it. It may run on a thread of the endpoint's own (so that a busy GUI thread never leaves
// a sender without its answer) and touches nothing but its argument.
using CopyDataCheck = std::function<std::uint32_t(const CopyData&)>;
// Runs on the GUI thread, from the event loop (never from inside a call of the core), one frame at
// a time, for each frame its check took, once the sender has its answer.
using CopyDataHandler = std::function<void(const CopyData&)>;

enum class LockState {
  Acquired,       // this process holds the lock now
  HeldElsewhere,  // another live process holds it
  Unavailable,    // the lock cannot be had at all (no private folder for it); see `error`
};

struct LockResult {
  LockState state = LockState::Unavailable;
  std::unique_ptr<InstanceLock> lock;  // set when Acquired
  std::string error;                   // set when Unavailable
  // Set when HeldElsewhere: which holding this is (a lock taken anew by anyone has another),
  // and whether the process that holds it is known to be gone (a lock that outlived it, or one
  // held by something that is no player).
  std::uint64_t holder = 0;
  bool holderGone = false;
};

enum class SendStatus {
  Answered,    // the receiver handled the frame; `result` is its answer
  NoEndpoint,  // nobody listens under that class name (yet, or any more)
  Refused,     // not sent at all: too large, an unusable name, or no socket to be had here
  Failed,      // a peer of another user, closed without answer, or timed out
};

struct SendResult {
  SendStatus status = SendStatus::Failed;
  std::uint32_t result = 0;
  std::string error;  // why, when Refused or Failed
};

class InterProcess {
 public:
  virtual ~InterProcess() = default;

  // Takes the lock `name` unless another process holds it. One atomic test: of any number of
  // processes trying at the same moment, exactly one gets Acquired. Returns at once.
  virtual LockResult TryLock(const std::string& name) = 0;

  // For a holder whose process is gone: replaces the lock `name` held by `holder` (from an earlier
  // HeldElsewhere) with one this process holds; the old holder keeps nothing a later TryLock
  // sees. Of any number of processes trying at once one gets Acquired; the others, and a caller
  // whose holder has changed meanwhile, get HeldElsewhere. Returns at once.
  virtual LockResult TakeOverLock(const std::string& name, std::uint64_t holder) = 0;

  // Starts receiving the frames sent to `windowClass`; `check` answers them and `handler` acts on
  // those it took. Call it only while holding the instance lock: it replaces whatever endpoint of
  // that name a crashed process left behind or anything else in its place. Null (with nothing set
  // up) when the endpoint cannot be made. Returns at once.
  virtual std::unique_ptr<CopyDataEndpoint> Listen(const std::string& windowClass,
                                                   CopyDataCheck check,
                                                   CopyDataHandler handler) = 0;

  // Sends one frame to the endpoint of `windowClass` and waits for its answer, at most
  // `timeoutMs` milliseconds in all. NoEndpoint returns at once, so a sender to an optional
  // receiver pays nothing when it is absent.
  virtual SendResult Send(const std::string& windowClass, const CopyData& frame, int timeoutMs) = 0;
};

}  // namespace solka
