#include "platform/qt/application.h"

#include <QMessageBox>
#include <exception>

#include "platform/qt/qt_text.h"

namespace solka {

bool Application::notify(QObject* receiver, QEvent* event) {
  std::string what;
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    what = error.what();
  } catch (...) {
    what = "unknown error";
  }
  if (reportException) {
    reportException(what);
  } else {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("SOLKA"), ToQt(what), QMessageBox::Ok);
    box.exec();
  }
  return false;
}

}  // namespace solka
