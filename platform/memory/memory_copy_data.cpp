#include "platform/memory/memory_copy_data.h"

namespace solka {

class MemoryInterProcess::Lock : public InstanceLock {
 public:
  Lock(std::shared_ptr<std::set<std::string>> held, std::string name)
      : held_(std::move(held)), name_(std::move(name)) {
    held_->insert(name_);
  }
  ~Lock() override { held_->erase(name_); }

 private:
  std::shared_ptr<std::set<std::string>> held_;
  std::string name_;
};

class MemoryInterProcess::Endpoint : public CopyDataEndpoint {
 public:
  Endpoint(std::shared_ptr<std::map<std::string, CopyDataHandler>> endpoints, std::string name)
      : endpoints_(std::move(endpoints)), name_(std::move(name)) {}
  ~Endpoint() override { endpoints_->erase(name_); }

 private:
  std::shared_ptr<std::map<std::string, CopyDataHandler>> endpoints_;
  std::string name_;
};

LockResult MemoryInterProcess::TryLock(const std::string& name) {
  lockCalls.push_back(name);
  LockResult result;
  if (!lockScript.empty()) {
    result.state = lockScript.front();
    lockScript.pop_front();
  } else {
    result.state = held_->count(name) ? LockState::HeldElsewhere : LockState::Acquired;
  }
  if (result.state == LockState::Acquired) result.lock = std::make_unique<Lock>(held_, name);
  if (result.state == LockState::Unavailable) result.error = "no private folder";
  return result;
}

std::unique_ptr<CopyDataEndpoint> MemoryInterProcess::Listen(const std::string& windowClass,
                                                             CopyDataHandler handler) {
  (*endpoints_)[windowClass] = std::move(handler);
  return std::make_unique<Endpoint>(endpoints_, windowClass);
}

SendResult MemoryInterProcess::Send(const std::string& windowClass, const CopyData& frame,
                                    int timeoutMs) {
  sent.push_back({windowClass, frame, timeoutMs});
  if (!sendScript.empty()) {
    const SendStatus status = sendScript.front();
    sendScript.pop_front();
    return {status, 0};
  }
  const auto answer = answers.find(windowClass);
  if (answer == answers.end()) return {SendStatus::NoEndpoint, 0};
  return {SendStatus::Answered, answer->second};
}

std::optional<std::uint32_t> MemoryInterProcess::Deliver(const std::string& windowClass,
                                                         const CopyData& frame) {
  const auto endpoint = endpoints_->find(windowClass);
  if (endpoint == endpoints_->end()) return std::nullopt;
  return endpoint->second(frame);
}

}  // namespace solka
