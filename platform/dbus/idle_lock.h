// The login manager's "idle" inhibitor lock ("Playing music"), so that a desktop's idle
// suspend does not cut an unattended listening short.
//
// Taking the lock never waits: the bus is reached and the request goes out in the background,
// and the answer is handled when it comes.
// The lock is the descriptor the manager hands back; closing it lets go. A let-go waits for the
// next turn of the event loop, so the release and retake around a change of track cancel out
// instead of going to the bus. GUI thread only.
#pragma once

#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QTimer>
#include <string>

#include "platform/dbus/logind_bus.h"

namespace solka {

class IdleLock {
 public:
  explicit IdleLock(LogindBus& bus);
  ~IdleLock();
  IdleLock(const IdleLock&) = delete;
  IdleLock& operator=(const IdleLock&) = delete;

  void Hold(bool hold);
  // Lets go at once (before a power action).
  void ReleaseNow();

 private:
  void Take();
  void Answered(QDBusPendingCallWatcher* watcher);
  void Failed(const std::string& why);

  LogindBus& bus_;
  bool wanted_ = false;
  bool failureReported_ = false;
  bool connecting_ = false;
  QDBusUnixFileDescriptor lock_;
  QDBusPendingCallWatcher* pending_ = nullptr;
  QTimer release_;
};

}  // namespace solka
