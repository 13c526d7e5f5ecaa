#include "platform/dbus/idle_lock.h"

#include <QDBusPendingReply>
#include <cstdio>
#include <string>

namespace solka {

namespace {
// A request that gets no answer in this time counts as refused; the player never waits for it.
constexpr int kAnswerTimeoutMs = 5000;
}  // namespace

IdleLock::IdleLock(LogindBus& bus) : bus_(bus) {
  release_.setSingleShot(true);
  release_.setInterval(0);
  QObject::connect(&release_, &QTimer::timeout, [this] {
    if (!wanted_) lock_ = QDBusUnixFileDescriptor();
  });
}

IdleLock::~IdleLock() {
  delete pending_;
}

void IdleLock::Hold(bool hold) {
  wanted_ = hold;
  if (!hold) {
    release_.start();
    return;
  }
  release_.stop();
  if (!lock_.isValid() && !pending_ && !connecting_) Take();
}

void IdleLock::ReleaseNow() {
  wanted_ = false;
  release_.stop();
  lock_ = QDBusUnixFileDescriptor();
}

void IdleLock::Take() {
  connecting_ = true;
  bus_.WhenConnected([this](std::optional<QDBusConnection> connection, const std::string& error) {
    connecting_ = false;
    if (!connection) {
      Failed(error);
      return;
    }
    // Playback may have stopped while the bus was being reached.
    if (!wanted_ || lock_.isValid() || pending_) return;
    QDBusMessage call = LogindBus::Method("Inhibit");
    call << QStringLiteral("idle") << QStringLiteral("SOLKA") << QStringLiteral("Playing music")
         << QStringLiteral("block");
    pending_ = new QDBusPendingCallWatcher(connection->asyncCall(call, kAnswerTimeoutMs));
    QObject::connect(pending_, &QDBusPendingCallWatcher::finished, pending_,
                     [this](QDBusPendingCallWatcher* watcher) { Answered(watcher); });
  });
}

void IdleLock::Answered(QDBusPendingCallWatcher* watcher) {
  pending_ = nullptr;
  watcher->deleteLater();
  const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
  if (reply.isError()) {
    Failed(ErrorText(reply.reply()));
    return;
  }
  // Playback may have stopped while the answer was on its way: then the lock goes at once.
  if (wanted_) lock_ = reply.value();
}

void IdleLock::Failed(const std::string& why) {
  // Once per run: without a login manager every track would say it again.
  if (!failureReported_) std::fprintf(stderr, "solka: power: no idle lock: %s\n", why.c_str());
  failureReported_ = true;
}

}  // namespace solka
