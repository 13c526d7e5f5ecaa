// The login manager (systemd-logind) on the system bus, through QtDBus.
//
// The bus address comes from DBUS_SYSTEM_BUS_ADDRESS when it is set (tests point it at a private
// bus), else the standard system bus socket. Each object has a connection of its own, made when
// first needed and tried again after a failure, and only once the bus has shown that it answers
// (see BusProbe): a bus that accepts and never answers costs a bounded wait. GUI thread only.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "platform/dbus/bus_probe.h"

namespace solka {

class LogindBus {
 public:
  using Ready = std::function<void(std::optional<QDBusConnection>, const std::string& error)>;

  LogindBus();
  ~LogindBus();
  LogindBus(const LogindBus&) = delete;
  LogindBus& operator=(const LogindBus&) = delete;

  // The connection, waiting for the bus at most until `deadline`; or nullopt with the reason
  // in `error`.
  std::optional<QDBusConnection> Connection(std::string& error, QDeadlineTimer deadline);
  // Hands the connection to `ready`: at once when there is one, else later on this thread once
  // the bus has answered, never waiting for it; nullopt with the reason when it does not. A
  // newer request replaces one still waiting.
  void WhenConnected(Ready ready);
  // A call of the manager's method `name`.
  static QDBusMessage Method(const char* name);

 private:
  std::optional<QDBusConnection> Existing();
  // Connects to a bus that has just answered.
  std::optional<QDBusConnection> Connect(std::string& error);

  QString name_;
  bool connected_ = false;
  BusProbe probe_;
  Ready ready_;
};

// One line of text from a D-Bus error.
std::string ErrorText(const QDBusMessage& reply);

}  // namespace solka
