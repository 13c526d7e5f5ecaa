#include "platform/dbus/logind_bus.h"

#include <QDBusError>
#include <atomic>

namespace solka {

namespace {
constexpr char kService[] = "org.freedesktop.login1";
constexpr char kPath[] = "/org/freedesktop/login1";
constexpr char kManager[] = "org.freedesktop.login1.Manager";
constexpr char kDefaultAddress[] = "unix:path=/var/run/dbus/system_bus_socket";

QString SystemBusAddress() {
  const QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
  return address.isEmpty() ? QString::fromLatin1(kDefaultAddress) : address;
}

std::string OneLine(QString text) {
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text.toStdString();
}
}  // namespace

LogindBus::LogindBus() {
  static std::atomic<int> count{0};
  name_ = QStringLiteral("solka-logind-%1").arg(++count);
}

LogindBus::~LogindBus() {
  QDBusConnection::disconnectFromBus(name_);
}

std::optional<QDBusConnection> LogindBus::Connection(std::string& error) {
  if (connected_) {
    QDBusConnection connection(name_);
    if (connection.isConnected()) return connection;
    QDBusConnection::disconnectFromBus(name_);
    connected_ = false;
  }
  QDBusConnection connection = QDBusConnection::connectToBus(SystemBusAddress(), name_);
  if (!connection.isConnected()) {
    error = "no system bus: " + OneLine(connection.lastError().message());
    QDBusConnection::disconnectFromBus(name_);
    return std::nullopt;
  }
  connected_ = true;
  return connection;
}

QDBusMessage LogindBus::Method(const char* name) {
  return QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                        QLatin1String(kManager), QLatin1String(name));
}

std::string ErrorText(const QDBusMessage& reply) {
  return OneLine(reply.errorName() + QStringLiteral(": ") + reply.errorMessage());
}

}  // namespace solka
