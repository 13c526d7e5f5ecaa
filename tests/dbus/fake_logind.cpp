#include "tests/dbus/fake_logind.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <atomic>

namespace solka {

namespace {
const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
}  // namespace

bool WaitUntil(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > 10'000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
  return true;
}

FakeLogind::FakeLogind(const QString& parameters) {
  static std::atomic<int> count{0};
  connectionName_ = QStringLiteral("fake-logind-%1").arg(++count);
  if (!folder_.Made()) return;
  const QString socket = QString::fromStdString(folder_.File("system_bus_socket"));
  address_ = QStringLiteral("unix:path=") + socket;
  // Before anything can connect: from here on "the system bus" is the private one.
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", address_.toUtf8());

  bus_.setStandardOutputFile(QProcess::nullDevice());
  bus_.setStandardErrorFile(QProcess::nullDevice());
  bus_.start(QStringLiteral("dbus-daemon"),
             {QStringLiteral("--session"), QStringLiteral("--nofork"),
              QStringLiteral("--address=") + address_});
  if (!bus_.waitForStarted() || !WaitUntil([&] { return QFile::exists(socket); })) return;

  // The distribution's interpreter, which has the fake's module.
  mock_.setStandardOutputFile(QProcess::nullDevice());
  mock_.setStandardErrorFile(QString::fromStdString(folder_.File("mock.err")));
  mock_.start(
      QStringLiteral("/usr/bin/python3"),
      {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
       QStringLiteral("--template"), QStringLiteral("logind"), QStringLiteral("-l"),
       QString::fromStdString(folder_.File("calls.log")), QStringLiteral("-p"), parameters});
  if (!mock_.waitForStarted()) return;

  // The socket file appears a moment before the bus accepts connections.
  ready_ = WaitUntil([&] {
    QDBusConnection connection = QDBusConnection::connectToBus(address_, connectionName_);
    if (!connection.isConnected()) QDBusConnection::disconnectFromBus(connectionName_);
    return connection.isConnected() &&
           connection.interface()->isServiceRegistered(kService).value();
  });
  // As the manager of systemd 252 (Debian 12) answers: flag 16 is "Invalid flags parameter".
  if (ready_)
    SetMethod(QStringLiteral("PowerOffWithFlags"), QStringLiteral("t"), QString(),
              QStringLiteral("if args[0] & ~3:\n"
                             "  raise dbus.exceptions.DBusException('Invalid flags parameter', "
                             "name='org.freedesktop.DBus.Error.InvalidArgs')\n"));
}

FakeLogind::~FakeLogind() {
  QDBusConnection::disconnectFromBus(connectionName_);
  for (QProcess* process : {&mock_, &bus_}) {
    if (process->state() == QProcess::NotRunning) continue;
    process->terminate();
    if (!process->waitForFinished(5000)) {
      process->kill();
      process->waitForFinished();
    }
  }
  qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

std::vector<std::string> FakeLogind::Calls() const {
  QFile log(QString::fromStdString(folder_.File("calls.log")));
  std::vector<std::string> calls;
  if (!log.open(QIODevice::ReadOnly)) return calls;
  for (const QByteArray& line : log.readAll().split('\n')) {
    // "<time> <call>"
    const std::string call = line.mid(line.indexOf(' ') + 1).toStdString();
    if (!line.isEmpty() && !call.starts_with("ListInhibitors")) calls.push_back(call);
  }
  return calls;
}

int FakeLogind::Count(const std::string& call) const {
  const std::vector<std::string> calls = Calls();
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

QDBusMessage FakeLogind::CallFake(const QString& interface, const QString& method,
                                  const QVariantList& arguments) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, interface, method);
  call.setArguments(arguments);
  return QDBusConnection(connectionName_).call(call, QDBus::Block, 10'000);
}

void FakeLogind::SetMethod(const QString& name, const QString& inSignature,
                           const QString& outSignature, const QString& code) {
  CallFake(kMock, QStringLiteral("AddMethod"), {kManager, name, inSignature, outSignature, code});
}

void FakeLogind::Refuse(const QString& name, const QString& inSignature) {
  SetMethod(name, inSignature, QString(),
            QStringLiteral("raise dbus.exceptions.DBusException('Not allowed', "
                           "name='org.freedesktop.DBus.Error.AccessDenied')"));
}

QStringList FakeLogind::Inhibitors() {
  const QDBusMessage reply = CallFake(kManager, QStringLiteral("ListInhibitors"), {});
  QStringList locks;
  if (reply.arguments().isEmpty()) return locks;
  const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
  list.beginArray();
  while (!list.atEnd()) {
    QString what, who, why, mode;
    uint uid = 0, pid = 0;
    list.beginStructure();
    list >> what >> who >> why >> mode >> uid >> pid;
    list.endStructure();
    locks << QStringList{what, who, why, mode}.join(QLatin1Char('|'));
  }
  list.endArray();
  return locks;
}

}  // namespace solka
