// The application object. An exception that escapes a handler is shown in a message box and
// the program goes on with its next event, instead of tearing the process down mid-run (and
// losing the settings with it).
#pragma once

#include <QApplication>
#include <functional>
#include <string>

namespace solka {

class Application : public QApplication {
 public:
  Application(int& argc, char** argv) : QApplication(argc, argv) {}

  bool notify(QObject* receiver, QEvent* event) override;
  // Shows what went wrong: through reportException when set (tests), else in a message box.
  void ReportException(const std::string& what);

  std::function<void(const std::string&)> reportException;
};

}  // namespace solka
