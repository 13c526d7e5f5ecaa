#include "platform/qt/application.h"

#include <QLibraryInfo>
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
  ReportException(what);
  return false;
}

void Application::LoadToolkitTranslations() {
  // Installed with the toolkit, or beside the program where it ships its own copy.
  for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                applicationDirPath() + QStringLiteral("/translations")}) {
    if (toolkitTexts_.load(QStringLiteral("qtbase_ja"), folder)) {
      installTranslator(&toolkitTexts_);
      return;
    }
  }
}

void Application::ReportException(const std::string& what) {
  if (reportException) {
    reportException(what);
    return;
  }
  QMessageBox box(QMessageBox::Critical, QStringLiteral("SOLKA"), ToQt(what), QMessageBox::Ok);
  box.exec();
}

}  // namespace solka
