// Other programs of the user as a test scripts them: the window classes that listen, and every
// frame sent to them, in order.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/api/copy_data.h"

namespace solka {

class RecordingInterProcess : public InterProcess {
 public:
  struct Sent {
    std::string windowClass;
    CopyData frame;
    bool operator==(const Sent&) const = default;
  };

  // Classes that answer; frames to any other class find no endpoint and are not recorded.
  std::set<std::string> listening;
  std::vector<Sent> sent;
  int lastTimeoutMs = 0;

  LockResult TryLock(const std::string&) override { return {LockState::Acquired, nullptr, {}}; }
  std::unique_ptr<CopyDataEndpoint> Listen(const std::string&, CopyDataHandler) override {
    return nullptr;
  }
  SendResult Send(const std::string& windowClass, const CopyData& frame, int timeoutMs) override {
    lastTimeoutMs = timeoutMs;
    if (!listening.contains(windowClass)) return {SendStatus::NoEndpoint, 0};
    sent.push_back({windowClass, frame});
    return {SendStatus::Answered, 0};
  }
};

}  // namespace solka
