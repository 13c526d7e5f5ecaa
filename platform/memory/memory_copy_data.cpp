#include "platform/memory/memory_copy_data.h"

namespace solka {

class MemoryInterProcess::Lock : public InstanceLock {
 public:
  Lock(std::shared_ptr<std::map<std::string, std::uint64_t>> held, std::string name,
       std::uint64_t holding)
      : held_(std::move(held)), name_(std::move(name)), holding_(holding) {
    (*held_)[name_] = holding_;
  }
  // A holder that was taken over from releases nothing of the new one's.
  ~Lock() override {
    const auto it = held_->find(name_);
    if (it != held_->end() && it->second == holding_) held_->erase(it);
  }

 private:
  std::shared_ptr<std::map<std::string, std::uint64_t>> held_;
  std::string name_;
  std::uint64_t holding_;
};

class MemoryInterProcess::Endpoint : public CopyDataEndpoint {
 public:
  Endpoint(std::shared_ptr<std::map<std::string, Receiver>> endpoints, std::string name)
      : endpoints_(std::move(endpoints)), name_(std::move(name)) {}
  ~Endpoint() override { endpoints_->erase(name_); }

 private:
  std::shared_ptr<std::map<std::string, Receiver>> endpoints_;
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
  return Finish(std::move(result), name, "no private folder");
}

LockResult MemoryInterProcess::TakeOverLock(const std::string& name, std::uint64_t holder) {
  lockCalls.push_back("take over " + name);
  LockResult result;
  const auto held = held_->find(name);
  if (!takeOverScript.empty()) {
    result.state = takeOverScript.front();
    takeOverScript.pop_front();
  } else {
    const bool changed = held != held_->end() && held->second != holder;
    result.state = changed ? LockState::HeldElsewhere : LockState::Acquired;
  }
  return Finish(std::move(result), name, "cannot replace the lock");
}

LockResult MemoryInterProcess::Finish(LockResult result, const std::string& name,
                                      const std::string& error) {
  const auto held = held_->find(name);
  if (result.state == LockState::HeldElsewhere && held != held_->end())
    result.holder = held->second;
  if (result.state == LockState::HeldElsewhere) result.holderGone = holderGone;
  if (result.state == LockState::Acquired)
    result.lock = std::make_unique<Lock>(held_, name, ++holdings_);
  if (result.state == LockState::Unavailable) result.error = error;
  return result;
}

std::unique_ptr<CopyDataEndpoint> MemoryInterProcess::Listen(const std::string& windowClass,
                                                             CopyDataCheck check,
                                                             CopyDataHandler handler) {
  (*endpoints_)[windowClass] = {std::move(check), std::move(handler)};
  return std::make_unique<Endpoint>(endpoints_, windowClass);
}

SendResult MemoryInterProcess::Send(const std::string& windowClass, const CopyData& frame,
                                    int timeoutMs) {
  sent.push_back({windowClass, frame, timeoutMs});
  if (!sendScript.empty()) {
    const SendStatus status = sendScript.front();
    sendScript.pop_front();
    return {status, 0, status == SendStatus::Answered ? "" : "scripted"};
  }
  const auto answer = answers.find(windowClass);
  if (answer == answers.end()) return {SendStatus::NoEndpoint, 0, {}};
  return {SendStatus::Answered, answer->second, {}};
}

std::optional<std::uint32_t> MemoryInterProcess::Deliver(const std::string& windowClass,
                                                         const CopyData& frame) {
  const auto endpoint = endpoints_->find(windowClass);
  if (endpoint == endpoints_->end()) return std::nullopt;
  const std::uint32_t answer = endpoint->second.check(frame);
  if (answer == 0) endpoint->second.handler(frame);
  return answer;
}

}  // namespace solka
