#include "platform/dbus/logind_power.h"

#include <QDBusMessage>
#include <QDeadlineTimer>
#include <cstdio>

namespace solka {

namespace {
// All the calls of one action together; long enough for the manager and its policy check on a
// busy machine, short enough that the player does not seem to hang.
constexpr int kActionBudgetMs = 3000;
// Power off even though other programs hold block inhibitor locks (their consent is not asked).
constexpr quint64 kSkipInhibitors = quint64(1) << 4;

void Refused(const char* action, const std::string& why) {
  std::fprintf(stderr, "solka: power: %s refused: %s\n", action, why.c_str());
  std::fflush(stderr);
}
}  // namespace

LogindPower::LogindPower(std::function<void()> monitorOff) : monitorOff_(std::move(monitorOff)) {}

std::string LogindPower::Exchange(const char* method, const QVariant& argument,
                                  QDeadlineTimer deadline, QDBusMessage& reply) {
  std::string error;
  auto connection = bus_.Connection(error, deadline);
  if (!connection) return error;
  const qint64 remaining = deadline.remainingTime();
  if (remaining <= 0) return std::string("no answer in time before ") + method;
  QDBusMessage call = LogindBus::Method(method);
  if (argument.isValid()) call << argument;
  reply = connection->call(call, QDBus::Block, static_cast<int>(remaining));
  if (reply.type() == QDBusMessage::ErrorMessage)
    return std::string(method) + ": " + ErrorText(reply);
  return {};
}

std::string LogindPower::Ask(const char* method, QDeadlineTimer deadline) {
  QDBusMessage reply;
  const std::string error = Exchange(method, QVariant(), deadline, reply);
  if (!error.empty()) return error;
  const QString answer = reply.arguments().value(0).toString();
  // "challenge": the policy would ask someone; the call itself finds out whether it may go on.
  if (answer == QLatin1String("yes") || answer == QLatin1String("challenge")) return {};
  return std::string(method) + " answered \"" + answer.toStdString() + "\"";
}

std::string LogindPower::Call(const char* method, const QVariant& argument,
                              QDeadlineTimer deadline) {
  QDBusMessage reply;
  return Exchange(method, argument, deadline, reply);
}

void LogindPower::PowerOff() {
  idleLock_.ReleaseNow();
  const QDeadlineTimer deadline(kActionBudgetMs);
  std::string why = Ask("CanPowerOff", deadline);
  if (why.empty()) {
    why = Call("PowerOff", false, deadline);
    if (!why.empty() && forcedKnown_) {
      const std::string forced =
          Call("PowerOffWithFlags", QVariant::fromValue(kSkipInhibitors), deadline);
      if (forced.empty()) {
        why.clear();
      } else if (forced.find("InvalidArgs") != std::string::npos) {
        // An older manager (systemd before 256) knows no such flag; its plain power-off is as
        // far as it goes (it passes over other programs' inhibitors where the policy allows).
        // Said once; later power-offs do not ask again.
        forcedKnown_ = false;
        why += "; this login manager cannot force a power-off (" + forced + ")";
      } else {
        why += "; forced: " + forced;
      }
    }
  }
  if (!why.empty()) Refused("power-off", why);
}

void LogindPower::Sleep(const char* action, const char* canMethod, const char* method) {
  idleLock_.ReleaseNow();
  const QDeadlineTimer deadline(kActionBudgetMs);
  std::string why = Ask(canMethod, deadline);
  if (why.empty()) why = Call(method, false, deadline);
  if (!why.empty()) Refused(action, why);
}

void LogindPower::Suspend() {
  Sleep("suspend", "CanSuspend", "Suspend");
}

void LogindPower::Hibernate() {
  Sleep("hibernate", "CanHibernate", "Hibernate");
}

}  // namespace solka
