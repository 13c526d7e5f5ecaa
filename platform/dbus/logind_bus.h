// The login manager (systemd-logind) on the system bus, through QtDBus.
//
// The bus address comes from DBUS_SYSTEM_BUS_ADDRESS when it is set (tests point it at a private
// bus), else the standard system bus socket. Each object has a connection of its own, made when
// first needed and tried again after a failure. GUI thread only.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <optional>
#include <string>

namespace solka {

class LogindBus {
 public:
  LogindBus();
  ~LogindBus();
  LogindBus(const LogindBus&) = delete;
  LogindBus& operator=(const LogindBus&) = delete;

  // The connection, or nullopt with the reason in `error`.
  std::optional<QDBusConnection> Connection(std::string& error);
  // A call of the manager's method `name`.
  static QDBusMessage Method(const char* name);

 private:
  QString name_;
  bool connected_ = false;
};

// One line of text from a D-Bus error.
std::string ErrorText(const QDBusMessage& reply);

}  // namespace solka
