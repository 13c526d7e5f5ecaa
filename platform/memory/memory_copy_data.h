// Copy-data peers in memory, for tests: locks held by name, endpoints whose frames the test
// delivers as the event loop would, and sends that are written down and answered by a script.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/api/copy_data.h"

namespace solka {

class MemoryInterProcess : public InterProcess {
 public:
  struct Sent {
    std::string windowClass;
    CopyData frame;
    int timeoutMs = 0;
  };

  // Taken first, one per call; after that a lock is Acquired unless a live one has its name.
  std::deque<LockState> lockScript;
  // Taken first, one per call; after that a class in `answers` answers with its value and any
  // other has no endpoint.
  std::deque<SendStatus> sendScript;
  std::map<std::string, std::uint32_t> answers;
  // Taken first, one per take-over; after that a take-over is Acquired.
  std::deque<LockState> takeOverScript;
  // Whether a lock held elsewhere is held by a process that is gone.
  bool holderGone = false;

  std::vector<std::string> lockCalls;  // TryLock and, as "take over NAME", TakeOverLock
  std::vector<Sent> sent;

  LockResult TryLock(const std::string& name) override;
  LockResult TakeOverLock(const std::string& name, std::uint64_t holder) override;
  std::unique_ptr<CopyDataEndpoint> Listen(const std::string& windowClass, CopyDataCheck check,
                                           CopyDataHandler handler) override;
  SendResult Send(const std::string& windowClass, const CopyData& frame, int timeoutMs) override;

  // Hands `frame` to the endpoint of `windowClass`: its check's answer, or nullopt when none
  // listens. A frame it took goes on to its handler.
  std::optional<std::uint32_t> Deliver(const std::string& windowClass, const CopyData& frame);

 private:
  class Lock;
  // The lock, holder or error that goes with the state of `result`.
  LockResult Finish(LockResult result, const std::string& name, const std::string& error);
  class Endpoint;
  // The holding number of each held lock: a take-over gives it a new one.
  std::shared_ptr<std::map<std::string, std::uint64_t>> held_ =
      std::make_shared<std::map<std::string, std::uint64_t>>();
  std::uint64_t holdings_ = 0;
  struct Receiver {
    CopyDataCheck check;
    CopyDataHandler handler;
  };
  std::shared_ptr<std::map<std::string, Receiver>> endpoints_ =
      std::make_shared<std::map<std::string, Receiver>>();
};

}  // namespace solka
