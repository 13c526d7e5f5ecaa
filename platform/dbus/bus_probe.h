// Whether a bus answers at all, found out before QtDBus is let near it.
//
// QtDBus makes every connection on one process-wide thread, and the bus library there waits
// without limit for a bus that accepts a connection and never answers (a wedged or restarting
// bus daemon). That wait holds up every later bus call of the program, the GUI thread's with
// them, and the program's exit. So a bus is handed to QtDBus only after it has gone through the
// handshake and answered the Hello call here, on a socket of our own, within a bound.
#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

namespace solka {

class BusHandshake;

// The system bus's address: $DBUS_SYSTEM_BUS_ADDRESS, else the standard socket.
QString SystemBusAddress();
// The session bus's address: $DBUS_SESSION_BUS_ADDRESS, else the socket "bus" in
// $XDG_RUNTIME_DIR when there is one; empty when there is no session bus to use.
QString SessionBusAddress();

// Keeps a session bus that does not answer within `boundMs` away from this process, before the
// toolkit starts: its accessibility bridge, tray and theme connect to the session bus on their
// own, on the GUI thread, and would wait for ever. The process (and what it starts) then runs
// without a session bus; so it does when none is configured, rather than have one launched for
// the display. Empty when the bus answered or none is configured, else why not.
std::string ShunSilentSessionBus(int boundMs);

class BusProbe : public QObject {
 public:
  // How long a check in the background may take.
  static constexpr int kTimeoutMs = 3000;

  BusProbe();
  ~BusProbe() override;
  BusProbe(const BusProbe&) = delete;
  BusProbe& operator=(const BusProbe&) = delete;

  // Checks the bus at `address` without waiting: `done` runs later on this thread with an
  // empty text when the bus answered, else why not. A check under way is abandoned.
  void Start(const QString& address, std::function<void(const std::string&)> done);
  bool Running() const { return handshake_ != nullptr; }

  // Checks the bus at `address` and waits for it, at most until `deadline`.
  static std::string Check(const QString& address, QDeadlineTimer deadline);

 private:
  void Advance();
  void Stop();
  void Finish(const std::string& error);

  std::unique_ptr<BusHandshake> handshake_;
  QSocketNotifier* readable_ = nullptr;
  QSocketNotifier* writable_ = nullptr;
  QTimer timeout_;
  std::string failure_;  // why the check could not even start
  std::function<void(const std::string&)> done_;
};

}  // namespace solka
