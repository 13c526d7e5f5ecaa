// The application object. An exception that escapes a handler is shown in a message box and
// the program goes on with its next event, instead of tearing the process down mid-run (and
// losing the settings with it).
#pragma once

#include <QApplication>
#include <QTranslator>
#include <functional>
#include <string>

namespace solka {

class Application : public QApplication {
 public:
  Application(int& argc, char** argv) : QApplication(argc, argv) {}

  bool notify(QObject* receiver, QEvent* event) override;
  // The toolkit's own texts (file dialogs, standard buttons, edit menus) in Japanese, like the
  // program's; left in English when the translations are not installed.
  void LoadToolkitTranslations();
  // Shows what went wrong: through reportException when set (tests), else in a message box.
  void ReportException(const std::string& what);

  std::function<void(const std::string&)> reportException;

 private:
  QTranslator toolkitTexts_;
};

}  // namespace solka
