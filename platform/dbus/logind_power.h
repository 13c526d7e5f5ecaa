// Power actions through the login manager's D-Bus interface; the monitor's part is handed in.
//
// Each action first asks the manager's matching Can... method and goes on only when the answer
// is "yes" or "challenge"; the calls are not interactive, since nobody may be there to answer.
// The calls of one action share a bound of a few seconds, so the GUI thread never waits longer.
// A refusal, an error or a missing answer writes one line on stderr naming the action and why.
#pragma once

#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QVariant>
#include <functional>
#include <string>

#include "platform/api/desktop.h"
#include "platform/dbus/idle_lock.h"
#include "platform/dbus/logind_bus.h"

namespace solka {

class LogindPower : public Power {
 public:
  explicit LogindPower(std::function<void()> monitorOff);

  // PowerOff(false); when refused, the forced variant: PowerOffWithFlags with the flag that
  // skips the block inhibitors of other programs, as long as the manager knows that flag.
  void PowerOff() override;
  void Suspend() override;
  void Hibernate() override;
  void MonitorOff() override { monitorOff_(); }
  void HoldIdleLock(bool hold) override { idleLock_.Hold(hold); }

 private:
  // One call with what is left of the action's time; empty when it was answered, else why not.
  std::string Exchange(const char* method, const QVariant& argument, QDeadlineTimer deadline,
                       QDBusMessage& reply);
  // A Can... question: empty when the answer lets the action go on, else why not.
  std::string Ask(const char* method, QDeadlineTimer deadline);
  std::string Call(const char* method, const QVariant& argument, QDeadlineTimer deadline);
  void Sleep(const char* action, const char* canMethod, const char* method);

  LogindBus bus_;
  IdleLock idleLock_{bus_};
  std::function<void()> monitorOff_;
  bool forcedKnown_ = true;  // false once the manager refused the flag as invalid
};

}  // namespace solka
