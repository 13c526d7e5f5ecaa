// SIGTERM, SIGINT and SIGHUP end the player the normal way (its window closes, the settings are
// saved) instead of killing it: the handler only writes to a pipe that the GUI thread watches.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace solka {

class QuitSignals : public QObject {
 public:
  // `onSignal` runs on the GUI thread, once per signal received.
  explicit QuitSignals(std::function<void()> onSignal);
  ~QuitSignals() override;
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  bool Installed() const { return notifier_ != nullptr; }

 private:
  void Drain();

  std::function<void()> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace solka
