#include "platform/dbus/mpris_adaptors.h"

#include <cmath>

#include "platform/dbus/mpris_service.h"
#include "playlist/media_types.h"

namespace solka {

namespace {
constexpr double kMicroseconds = 1e6;
}  // namespace

QString StatusName(const RemoteState& state) {
  switch (state.status) {
    case RemoteStatus::Playing:
      return QStringLiteral("Playing");
    case RemoteStatus::Paused:
      return QStringLiteral("Paused");
    case RemoteStatus::Stopped:
      break;
  }
  return QStringLiteral("Stopped");
}

bool CanSeek(const RemoteState& state) {
  return state.status != RemoteStatus::Stopped && state.length > 0;
}

MprisRootAdaptor::MprisRootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

QString MprisRootAdaptor::Identity() const {
  return QStringLiteral("SOLKA");
}

QString MprisRootAdaptor::DesktopEntry() const {
  return QStringLiteral("solka");
}

QStringList MprisRootAdaptor::SupportedUriSchemes() const {
  return {QStringLiteral("file")};
}

// The table's types: the ones the desktop entry offers the player for.
QStringList MprisRootAdaptor::SupportedMimeTypes() const {
  QStringList types;
  for (std::string_view type : PlayableMimeTypes())
    types << QString::fromLatin1(type.data(), static_cast<qsizetype>(type.size()));
  return types;
}

void MprisRootAdaptor::Raise() {
  service_->Do([](PlayerRemote& remote) { remote.Raise(); });
}

void MprisRootAdaptor::Quit() {
  service_->Quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

QString MprisPlayerAdaptor::PlaybackStatus() const {
  return StatusName(service_->Current());
}

double MprisPlayerAdaptor::Rate() const {
  return service_->Current().rate;
}

void MprisPlayerAdaptor::SetRate(double rate) {
  // A rate of zero is the bus's way of asking for a pause.
  if (rate <= 0) {
    Pause();
    return;
  }
  service_->Do([rate](PlayerRemote& remote) { remote.SetRate(rate); });
}

QVariantMap MprisPlayerAdaptor::Metadata() const {
  return service_->Metadata();
}

double MprisPlayerAdaptor::Volume() const {
  return service_->Current().volume;
}

void MprisPlayerAdaptor::SetVolume(double volume) {
  service_->Do([volume](PlayerRemote& remote) { remote.SetVolume(volume); });
}

qlonglong MprisPlayerAdaptor::Position() const {
  return std::llround(service_->Current().position * kMicroseconds);
}

double MprisPlayerAdaptor::MinimumRate() const {
  return kPlayerSpeeds[0];
}

double MprisPlayerAdaptor::MaximumRate() const {
  return kPlayerSpeeds[std::size(kPlayerSpeeds) - 1];
}

bool MprisPlayerAdaptor::HasTracks() const {
  return service_->Current().hasTracks;
}

bool MprisPlayerAdaptor::CanSeek() const {
  return solka::CanSeek(service_->Current());
}

void MprisPlayerAdaptor::Next() {
  service_->Do([](PlayerRemote& remote) { remote.Next(); });
}

void MprisPlayerAdaptor::Previous() {
  service_->Do([](PlayerRemote& remote) { remote.Previous(); });
}

void MprisPlayerAdaptor::Pause() {
  service_->Do([](PlayerRemote& remote) { remote.Pause(); });
}

void MprisPlayerAdaptor::PlayPause() {
  service_->Do([](PlayerRemote& remote) { remote.PlayPause(); });
}

void MprisPlayerAdaptor::Stop() {
  service_->Do([](PlayerRemote& remote) { remote.Stop(); });
}

void MprisPlayerAdaptor::Play() {
  service_->Do([](PlayerRemote& remote) { remote.Play(); });
}

void MprisPlayerAdaptor::Seek(qlonglong Offset) {
  service_->SeekBy(Offset);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
  service_->SetPosition(TrackId.path(), Position);
}

void MprisPlayerAdaptor::OpenUri(const QString& Uri) {
  service_->OpenUri(Uri);
}

}  // namespace solka
