// The player on the session bus as a media player the desktop can see and drive: media keys,
// the desktop's player applet, other programs' "now playing" views. Without a session bus it
// does nothing and the player runs as before.
//
// Lives on the GUI thread: bus calls arrive there between other events, like a click.
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QVariantMap>
#include <functional>
#include <string>

#include "desktop/media_remote.h"
#include "platform/dbus/bus_probe.h"

namespace solka {

class MprisPlayerAdaptor;

class MprisService : public QObject, protected QDBusContext {
  Q_OBJECT

 public:
  // `quit` closes the main window the normal way.
  MprisService(PlayerRemote& remote, std::function<void()> quit);
  ~MprisService() override;

  // Takes the player's name on the session bus once the bus has shown that it answers; never
  // waits for it. Without a session bus nothing happens; a bus that fails says so on stderr.
  void Start();

  // --- For the adaptors ---------------------------------------------------------------------
  // Runs a command unless the run is ending, then tells the bus what it changed.
  template <typename Command>
  void Do(Command command) {
    if (remote_.Read().closing) return;
    command(remote_);
    Refresh();
  }
  // Moves within the playing track by `offsetUs`, or to `positionUs` of the track `trackId`.
  void SeekBy(qlonglong offsetUs);
  void SetPosition(const QString& trackId, qlonglong positionUs);
  void Quit();
  // Plays a local file, folder or list given as a file URI; refuses anything else.
  void OpenUri(const QString& uri);
  // The player's state now (the bus has been told of what changed since the last look).
  const RemoteState& Current();
  QVariantMap Metadata();  // of the track now

 private:
  bool Register(const QString& address);
  void Refresh();
  QVariantMap Describe(const RemoteState& state) const;
  void Emit(const QString& interface, const QVariantMap& changed);
  QString TrackId() const;

  PlayerRemote& remote_;
  BusProbe probe_;
  QDBusConnection bus_{QString()};
  std::function<void()> quit_;
  MprisPlayerAdaptor* player_ = nullptr;
  QString serviceName_;
  QTimer poll_;
  RemoteState last_;
  QElapsedTimer sinceLast_;
  quint64 track_ = 0;  // counts the tracks started, for their ids
  bool started_ = false;
};

}  // namespace solka
