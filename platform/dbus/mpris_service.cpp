#include "platform/dbus/mpris_service.h"

#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QUrl>
#include <cmath>
#include <cstdio>

#include "platform/dbus/mpris_adaptors.h"
#include "platform/qt/qt_text.h"

namespace solka {

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.solka");
const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
constexpr double kMicroseconds = 1e6;
// How often the player is looked at for changes nobody on the bus caused (the window's own
// controls, the end of a track).
constexpr int kPollMs = 200;
// A position this far from where steady playback would have taken it was a seek.
constexpr double kJumpSeconds = 1.0;

// A file URL for the path's own bytes, which need not be valid text.
QString FileUrl(const std::string& path) {
  const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
  return QStringLiteral("file://") + QString::fromLatin1(QUrl::toPercentEncoding(bytes, "/"));
}

bool SameTrack(const RemoteState& a, const RemoteState& b) {
  return a.status != RemoteStatus::Stopped && b.status != RemoteStatus::Stopped && a.path == b.path;
}

}  // namespace

MprisService::MprisService(PlayerRemote& remote, std::function<void()> quit)
    : remote_(remote), quit_(std::move(quit)) {
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &MprisService::Refresh);
}

MprisService::~MprisService() {
  if (!started_) return;
  bus_.unregisterService(serviceName_);
  bus_.unregisterObject(kObjectPath);
  QDBusConnection::disconnectFromBus(bus_.name());
}

void MprisService::Start() {
  if (started_ || probe_.Running()) return;
  const QString address = SessionBusAddress();
  if (address.isEmpty()) return;
  probe_.Start(address, [this, address](const std::string& error) {
    if (error.empty() && Register(address)) return;
    std::fprintf(stderr, "solka: no media controls: %s\n",
                 error.empty() ? "the session bus refused the player" : error.c_str());
  });
}

bool MprisService::Register(const QString& address) {
  QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("solka-session"));
  if (!bus.isConnected()) {
    QDBusConnection::disconnectFromBus(bus.name());
    return false;
  }
  new MprisRootAdaptor(this);
  player_ = new MprisPlayerAdaptor(this);
  if (!bus.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors)) return false;
  // A second player of the same user on the same bus takes the name with its process id.
  serviceName_ = kServiceName;
  if (!bus.registerService(serviceName_)) {
    serviceName_ = kServiceName + QStringLiteral(".instance%1").arg(getpid());
    if (!bus.registerService(serviceName_)) {
      bus.unregisterObject(kObjectPath);
      QDBusConnection::disconnectFromBus(bus.name());
      return false;
    }
  }
  bus_ = bus;
  started_ = true;
  last_ = remote_.Read();
  if (last_.status != RemoteStatus::Stopped) ++track_;
  sinceLast_.start();
  poll_.start();
  return true;
}

const RemoteState& MprisService::Current() {
  Refresh();
  return last_;
}

void MprisService::Refresh() {
  const RemoteState now = remote_.Read();
  const RemoteState before = last_;
  const double elapsed = sinceLast_.isValid() ? sinceLast_.restart() / 1000.0 : 0.0;
  last_ = now;

  const bool newTrack = now.status != RemoteStatus::Stopped && !SameTrack(before, now);
  if (newTrack) ++track_;
  QVariantMap changed;
  if (now.status != before.status)
    changed.insert(QStringLiteral("PlaybackStatus"), StatusName(now));
  if (newTrack || now.path != before.path || now.length != before.length)
    changed.insert(QStringLiteral("Metadata"), Metadata());
  if (now.volume != before.volume) changed.insert(QStringLiteral("Volume"), now.volume);
  if (now.rate != before.rate) changed.insert(QStringLiteral("Rate"), now.rate);
  if (now.hasTracks != before.hasTracks) {
    for (const char* name : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause"})
      changed.insert(QString::fromLatin1(name), now.hasTracks);
  }
  if (CanSeek(now) != CanSeek(before)) changed.insert(QStringLiteral("CanSeek"), CanSeek(now));
  if (!changed.isEmpty()) Emit(kPlayerInterface, changed);

  // Within one track, a position away from where playing on would have taken it was a seek
  // (the window's skip, or one asked for on the bus).
  if (!newTrack && SameTrack(before, now)) {
    const double speed = before.status == RemoteStatus::Playing ? before.rate : 0.0;
    const double expected = before.position + elapsed * speed;
    if (std::abs(now.position - expected) > kJumpSeconds && player_)
      emit player_->Seeked(std::llround(now.position * kMicroseconds));
  }
}

QVariantMap MprisService::Metadata() {
  const RemoteState& state = last_;
  QVariantMap metadata;
  metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackId())));
  if (state.status == RemoteStatus::Stopped) return metadata;
  metadata.insert(QStringLiteral("xesam:title"), ToQt(state.title));
  metadata.insert(QStringLiteral("xesam:url"), FileUrl(state.path));
  if (state.length > 0)
    metadata.insert(QStringLiteral("mpris:length"),
                    static_cast<qlonglong>(std::llround(state.length * kMicroseconds)));
  return metadata;
}

QString MprisService::TrackId() const {
  if (last_.status == RemoteStatus::Stopped) return kNoTrack;
  return QStringLiteral("/org/mpris/MediaPlayer2/solka/track/%1").arg(track_);
}

void MprisService::Emit(const QString& interface, const QVariantMap& changed) {
  QDBusMessage signal =
      QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"));
  signal << interface << changed << QStringList();
  bus_.send(signal);
}

void MprisService::SeekBy(qlonglong offsetUs) {
  Do([this, offsetUs](PlayerRemote& remote) {
    const RemoteState state = remote.Read();
    if (state.status == RemoteStatus::Stopped) return;
    const double target = state.position + static_cast<double>(offsetUs) / kMicroseconds;
    // Past the end of the track is the next track.
    if (state.length > 0 && target >= state.length)
      remote.Next();
    else
      remote.SeekTo(target < 0 ? 0 : target);
  });
}

void MprisService::SetPosition(const QString& trackId, qlonglong positionUs) {
  Do([this, &trackId, positionUs](PlayerRemote& remote) {
    // A request meant for a track that has ended since is stale.
    Refresh();
    if (trackId != TrackId() || positionUs < 0) return;
    remote.SeekTo(static_cast<double>(positionUs) / kMicroseconds);
  });
}

void MprisService::Quit() {
  // The answer goes out first: closing waits for the end of the run.
  if (quit_) QTimer::singleShot(0, this, quit_);
}

void MprisService::OpenUri(const QString& uri) {
  // Only files of this machine; other schemes are not offered.
  const QUrl url(uri);
  if (!url.isLocalFile()) return;
  const std::string path = PathFromQt(url.toLocalFile());
  Do([&path](PlayerRemote& remote) { remote.Open(path); });
}

}  // namespace solka
