// The core's event loop on Qt: timers are QTimers, the idle handler runs each time the event
// queue runs dry, ProcessMessages handles what is waiting.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "platform/api/desktop.h"

namespace solka {

class QtEventLoop : public EventLoop {
 public:
  // Needs the application object: it hooks the event dispatcher of the GUI thread.
  QtEventLoop();
  ~QtEventLoop() override;
  QtEventLoop(const QtEventLoop&) = delete;
  QtEventLoop& operator=(const QtEventLoop&) = delete;

  std::unique_ptr<Timer> CreateTimer(int milliseconds, bool enabled,
                                     std::function<void()> onTick) override;
  void SetIdleHandler(std::function<void()> handler) override;
  bool HasIdleHandler() const override { return static_cast<bool>(idle_); }
  void ProcessMessages() override;
  void Post(std::function<void()> task) override;

 private:
  void RunIdle();

  // Posted tasks belong to it: those still queued when the loop object goes are dropped.
  QObject context_;
  std::function<void()> idle_;
  bool inIdle_ = false;
  unsigned idleChanges_ = 0;  // counts SetIdleHandler calls
  QMetaObject::Connection blockHook_;
};

}  // namespace solka
