#include "platform/dbus/logind_bus.h"

#include <QDBusError>
#include <atomic>
#include <utility>

namespace solka {

namespace {
constexpr char kService[] = "org.freedesktop.login1";
constexpr char kPath[] = "/org/freedesktop/login1";
constexpr char kManager[] = "org.freedesktop.login1.Manager";

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
  if (connected_) QDBusConnection::disconnectFromBus(name_);
}

std::optional<QDBusConnection> LogindBus::Existing() {
  if (!connected_) return std::nullopt;
  QDBusConnection connection(name_);
  if (connection.isConnected()) return connection;
  QDBusConnection::disconnectFromBus(name_);
  connected_ = false;
  return std::nullopt;
}

std::optional<QDBusConnection> LogindBus::Connect(std::string& error) {
  QDBusConnection connection = QDBusConnection::connectToBus(SystemBusAddress(), name_);
  if (!connection.isConnected()) {
    error = "no system bus: " + OneLine(connection.lastError().message());
    QDBusConnection::disconnectFromBus(name_);
    return std::nullopt;
  }
  connected_ = true;
  return connection;
}

std::optional<QDBusConnection> LogindBus::Connection(std::string& error, QDeadlineTimer deadline) {
  if (auto connection = Existing()) return connection;
  const std::string why = BusProbe::Check(SystemBusAddress(), deadline);
  if (!why.empty()) {
    error = "no system bus: " + why;
    return std::nullopt;
  }
  return Connect(error);
}

void LogindBus::WhenConnected(Ready ready) {
  if (auto connection = Existing()) {
    ready(connection, {});
    return;
  }
  ready_ = std::move(ready);
  if (probe_.Running()) return;
  probe_.Start(SystemBusAddress(), [this](const std::string& why) {
    std::string error = why.empty() ? std::string() : "no system bus: " + why;
    const auto connection = error.empty() ? Connect(error) : std::nullopt;
    if (ready_) std::exchange(ready_, nullptr)(connection, error);
  });
}

QDBusMessage LogindBus::Method(const char* name) {
  return QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                        QLatin1String(kManager), QLatin1String(name));
}

std::string ErrorText(const QDBusMessage& reply) {
  return OneLine(reply.errorName() + QStringLiteral(": ") + reply.errorMessage());
}

}  // namespace solka
