#include "platform/dbus/bus_probe.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/posix/posix_fd.h"

namespace solka {

namespace {

constexpr char kDefaultSystemAddress[] = "unix:path=/var/run/dbus/system_bus_socket";
// An address the bus library refuses at once, for a session bus that is kept away.
constexpr char kNoBus[] = "disabled:";
// More than any sane answer to the handshake holds.
constexpr std::size_t kMaxAnswer = 4096;

// The value of a bus address with its %XX escapes decoded.
std::string Unescape(const QString& value) {
  return QByteArray::fromPercentEncoding(value.toUtf8()).toStdString();
}

// The socket of the first entry of a bus address: "unix:path=FILE", "unix:abstract=NAME" or
// "unix:runtime=yes", each maybe followed by ",guid=...". Empty with `error` set otherwise.
std::string SocketName(const QString& address, std::string& error) {
  const QString entry = address.section(QLatin1Char(';'), 0, 0);
  if (!entry.startsWith(QLatin1String("unix:"))) {
    error = "unsupported bus address: " + entry.left(40).toStdString();
    return {};
  }
  for (const QString& pair : entry.mid(5).split(QLatin1Char(','))) {
    const QString key = pair.section(QLatin1Char('='), 0, 0);
    const QString value = pair.section(QLatin1Char('='), 1);
    if (key == QLatin1String("path") && !value.isEmpty()) return Unescape(value);
    if (key == QLatin1String("abstract") && !value.isEmpty())
      return std::string(1, '\0') + Unescape(value);
    if (key == QLatin1String("runtime") && value == QLatin1String("yes"))
      return qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString() + "/bus";
  }
  error = "unsupported bus address: " + entry.left(40).toStdString();
  return {};
}

void Append32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xff);
}

// The bus's Hello call, the first message of every client: little-endian, serial 1, no body.
std::string HelloCall() {
  std::string fields;
  const auto field = [&fields](char code, char type, std::string_view value) {
    while (fields.size() % 8) fields += '\0';
    fields += code;
    fields += std::string_view("\1", 1);
    fields += type;
    fields += '\0';
    Append32(fields, static_cast<std::uint32_t>(value.size()));
    fields += value;
    fields += '\0';
  };
  field(1, 'o', "/org/freedesktop/DBus");
  field(2, 's', "org.freedesktop.DBus");
  field(3, 's', "Hello");
  field(6, 's', "org.freedesktop.DBus");
  std::string message = {'l', 1, 0, 1};
  Append32(message, 0);  // body length
  Append32(message, 1);  // serial
  Append32(message, static_cast<std::uint32_t>(fields.size()));
  message += fields;
  while (message.size() % 8) message += '\0';
  return message;
}

std::string SystemError(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

// One client handshake on a non-blocking socket: authentication as the user this process runs
// as, then the Hello call, whose answer shows that the bus is at work.
class BusHandshake {
 public:
  // Connects without waiting; empty when under way, else why it cannot be.
  std::string Open(const QString& address) {
    std::string error;
    const std::string name = SocketName(address, error);
    if (name.empty()) return error;
    sockaddr_un socketAddress{};
    socketAddress.sun_family = AF_UNIX;
    if (name.size() >= sizeof socketAddress.sun_path) return "bus address too long";
    std::memcpy(socketAddress.sun_path, name.data(), name.size());
    fd_ = Fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd_) return SystemError("socket");
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size() +
                                               (name.front() == '\0' ? 0 : 1));
    if (::connect(fd_.get(), reinterpret_cast<const sockaddr*>(&socketAddress), length) != 0)
      return SystemError("cannot connect to the bus");
    out_ = std::string(1, '\0') + "AUTH EXTERNAL " +
           QByteArray::number(static_cast<qulonglong>(::geteuid())).toHex().toStdString() + "\r\n";
    return {};
  }

  // Sends and reads what the socket allows now. True once finished, with `error` empty when
  // the bus answered, else why not.
  bool Step(std::string& error) {
    if (!Exchange(error)) return true;
    if (!hello_) {
      const std::size_t end = in_.find("\r\n");
      if (end == std::string::npos) return Overflowed(error);
      if (in_.compare(0, 3, "OK ") != 0) {
        error = "the bus refused the authentication";
        return true;
      }
      in_.erase(0, end + 2);
      hello_ = true;
      out_ = "BEGIN\r\n" + HelloCall();
      if (!Exchange(error)) return true;
    }
    // The fixed part of the answer's header tells its kind: 2 is a method's return.
    if (in_.size() < 16) return Overflowed(error);
    if (in_[1] != 2) error = "the bus refused the Hello call";
    return true;
  }

  int fd() const { return fd_.get(); }
  bool WantsWrite() const { return !out_.empty(); }

 private:
  // False with `error` set when the connection broke.
  bool Exchange(std::string& error) {
    while (!out_.empty()) {
      const ssize_t sent = ::send(fd_.get(), out_.data(), out_.size(), MSG_NOSIGNAL);
      if (sent < 0 && errno == EINTR) continue;
      if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
      if (sent < 0) {
        error = SystemError("bus");
        return false;
      }
      out_.erase(0, static_cast<std::size_t>(sent));
    }
    for (;;) {
      char buffer[512];
      const ssize_t got = ::recv(fd_.get(), buffer, sizeof buffer, 0);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
      if (got < 0) {
        error = SystemError("bus");
        return false;
      }
      if (got == 0) {
        error = "the bus closed the connection";
        return false;
      }
      in_.append(buffer, static_cast<std::size_t>(got));
    }
  }

  // Not finished yet, unless the bus has sent more than any answer holds.
  bool Overflowed(std::string& error) const {
    if (in_.size() <= kMaxAnswer) return false;
    error = "the bus sent no valid answer";
    return true;
  }

  Fd fd_{-1};
  std::string out_, in_;
  bool hello_ = false;
};

QString SystemBusAddress() {
  const QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
  return address.isEmpty() ? QString::fromLatin1(kDefaultSystemAddress) : address;
}

// Only a bus that is there: without an address the bus library would start a bus of its own
// for the display, which would outlive the player.
QString SessionBusAddress() {
  const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
  if (address == QLatin1String(kNoBus)) return {};
  if (!address.isEmpty()) return address;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  std::error_code error;
  if (runtime.isEmpty() || !std::filesystem::is_socket(runtime.toStdString() + "/bus", error))
    return {};
  return QStringLiteral("unix:path=") + runtime + QStringLiteral("/bus");
}

std::string ShunSilentSessionBus(int boundMs) {
  const QString address = SessionBusAddress();
  // Kept from the toolkit too: its accessibility bridge would launch one for the display, on
  // this thread, and wait on that launch without a bound.
  if (address.isEmpty()) {
    qputenv("DBUS_SESSION_BUS_ADDRESS", kNoBus);
    return {};
  }
  const std::string why = BusProbe::Check(address, QDeadlineTimer(boundMs));
  if (!why.empty()) qputenv("DBUS_SESSION_BUS_ADDRESS", kNoBus);
  return why;
}

BusProbe::BusProbe() {
  timeout_.setSingleShot(true);
  connect(&timeout_, &QTimer::timeout, this,
          [this] { Finish(failure_.empty() ? "the bus did not answer within 3 s" : failure_); });
}

BusProbe::~BusProbe() = default;

void BusProbe::Start(const QString& address, std::function<void(const std::string&)> done) {
  Stop();
  done_ = std::move(done);
  handshake_ = std::make_unique<BusHandshake>();
  failure_ = handshake_->Open(address);
  // Even a failure at once is told later, as an answer would be.
  if (!failure_.empty()) {
    timeout_.start(0);
    return;
  }
  readable_ = new QSocketNotifier(handshake_->fd(), QSocketNotifier::Read, this);
  writable_ = new QSocketNotifier(handshake_->fd(), QSocketNotifier::Write, this);
  connect(readable_, &QSocketNotifier::activated, this, &BusProbe::Advance);
  connect(writable_, &QSocketNotifier::activated, this, &BusProbe::Advance);
  timeout_.start(kTimeoutMs);
  Advance();
}

void BusProbe::Advance() {
  std::string error;
  if (handshake_->Step(error)) {
    Finish(error);
    return;
  }
  writable_->setEnabled(handshake_->WantsWrite());
}

void BusProbe::Stop() {
  timeout_.stop();
  // The notifiers may be the ones whose signal runs now.
  for (QSocketNotifier* notifier : {readable_, writable_}) {
    if (!notifier) continue;
    notifier->setEnabled(false);
    notifier->deleteLater();
  }
  readable_ = writable_ = nullptr;
  handshake_.reset();
  failure_.clear();
}

void BusProbe::Finish(const std::string& error) {
  Stop();
  const auto done = std::move(done_);
  done_ = nullptr;
  if (done) done(error);
}

std::string BusProbe::Check(const QString& address, QDeadlineTimer deadline) {
  BusHandshake handshake;
  std::string error = handshake.Open(address);
  if (!error.empty()) return error;
  while (!handshake.Step(error)) {
    const qint64 remaining = deadline.remainingTime();
    if (remaining == 0) return "the bus did not answer in time";
    pollfd wanted{handshake.fd(),
                  static_cast<short>(POLLIN | (handshake.WantsWrite() ? POLLOUT : 0)), 0};
    if (::poll(&wanted, 1, remaining < 0 ? -1 : static_cast<int>(remaining)) < 0 && errno != EINTR)
      return SystemError("poll");
  }
  return error;
}

}  // namespace solka
