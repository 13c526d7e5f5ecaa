// A fake login manager for the tests: a private bus (a dbus-daemon of the test's own) with the
// logind template of python3-dbusmock on it. For the life of the object DBUS_SYSTEM_BUS_ADDRESS
// points at that bus, so nothing a test runs can reach the machine's real login manager.
#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "tests/temp_folder.h"

namespace solka {

class FakeLogind {
 public:
  // `parameters`: the template's parameters as JSON, e.g. {"CanSuspend": "no"}.
  explicit FakeLogind(const QString& parameters = QStringLiteral("{}"));
  ~FakeLogind();
  FakeLogind(const FakeLogind&) = delete;
  FakeLogind& operator=(const FakeLogind&) = delete;

  bool Ready() const { return ready_; }
  const QString& Address() const { return address_; }

  // The calls the fake has received, oldest first, as "Method arguments" ("PowerOff False");
  // a refusal adds "Method raised: ...". The fake's inspection by the test is left out.
  std::vector<std::string> Calls() const;
  // How often the fake received exactly `call`.
  int Count(const std::string& call) const;
  // Replaces (or adds) a manager method with Python code run by the fake.
  void SetMethod(const QString& name, const QString& inSignature, const QString& outSignature,
                 const QString& code);
  // Makes the method refuse every call with AccessDenied.
  void Refuse(const QString& name, const QString& inSignature);
  // The inhibitor locks held now, each as "what|who|why|mode".
  QStringList Inhibitors();

 private:
  QDBusMessage CallFake(const QString& interface, const QString& method,
                        const QVariantList& arguments);

  testing_files::TempFolder folder_;
  QProcess bus_, mock_;
  QString address_, connectionName_;
  bool ready_ = false;
};

// Runs the Qt event loop until `done` holds, at most ten seconds; whether it came to hold.
bool WaitUntil(const std::function<bool()>& done);

}  // namespace solka
