#include "platform/dbus/mpris_service.h"

#include <unistd.h>

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QSysInfo>
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

// A file URL for the path's own bytes, which need not be valid text: escaped byte by byte (the
// text version of this escaping would turn them into replacement characters first).
QString FileUrl(const std::string& path) {
  const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
  return QStringLiteral("file://") + QString::fromLatin1(bytes.toPercentEncoding("/"));
}

// The path of a file URI of this machine as the file system's own bytes: the escapes are decoded
// byte for byte, whatever text they make. Empty for other schemes and hosts, and for a relative
// path, which would mean the player's own working folder, not the caller's.
std::string LocalPath(const QString& uri) {
  QByteArray rest = uri.toUtf8();
  if (!rest.left(5).toLower().startsWith("file:")) return {};
  rest.remove(0, 5);
  if (rest.startsWith("//")) {
    const qsizetype slash = rest.indexOf('/', 2);
    const QByteArray host = rest.mid(2, slash < 0 ? -1 : slash - 2).toLower();
    if (!host.isEmpty() && host != "localhost" &&
        host != QSysInfo::machineHostName().toUtf8().toLower())
      return {};
    rest = slash < 0 ? QByteArray() : rest.mid(slash);
  }
  for (const char end : {'?', '#'})
    if (const qsizetype at = rest.indexOf(end); at >= 0) rest.truncate(at);
  const QByteArray path = QByteArray::fromPercentEncoding(rest);
  if (!path.startsWith('/') || path.contains('\0')) return {};
  return path.toStdString();
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
  // No call that waits for the bus's answer: one that has stopped answering would hold the exit
  // for its whole call time-out. The bus gives the name up with the connection anyway.
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
  if (polling_) poll_.start();
  return true;
}

void MprisService::SetPolling(bool on) {
  polling_ = on;
  if (!started_) return;
  if (on) {
    Refresh();
    poll_.start();
  } else {
    poll_.stop();
  }
}

void MprisService::PlayerChanged() {
  if (!started_ || refreshDue_) return;
  // After the handler that made the change has finished: mid-way its state may be half set.
  refreshDue_ = true;
  QTimer::singleShot(0, this, [this] {
    refreshDue_ = false;
    Refresh();
  });
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
  if (newTrack || now.path != before.path || now.length != before.length || now.tags != before.tags)
    changed.insert(QStringLiteral("Metadata"), Describe(now));
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
  Refresh();
  return Describe(last_);
}

QVariantMap MprisService::Describe(const RemoteState& state) const {
  QVariantMap metadata;
  metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackId())));
  if (state.status == RemoteStatus::Stopped) return metadata;
  // The stream's own names where it has them; the window's title otherwise.
  const MediaTags& tags = state.tags;
  metadata.insert(QStringLiteral("xesam:title"),
                  ToQt(tags.title.empty() ? state.title : tags.title));
  if (!tags.artist.empty())
    metadata.insert(QStringLiteral("xesam:artist"), QStringList{ToQt(tags.artist)});
  if (!tags.album.empty()) metadata.insert(QStringLiteral("xesam:album"), ToQt(tags.album));
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
  const std::string path = LocalPath(uri);
  if (path.empty()) {
    if (calledFromDBus())
      sendErrorReply(QDBusError::NotSupported,
                     QStringLiteral("only file URIs with an absolute path of this machine"));
    return;
  }
  Do([&path](PlayerRemote& remote) { remote.Open(path); });
}

}  // namespace solka
