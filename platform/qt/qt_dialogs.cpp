#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "platform/qt/qt_text.h"
#include "platform/qt/x11_window.h"

namespace solka {

namespace {

// Keeps an owned dialog out of the task bar each time it is shown (the window manager forgets
// the state of a hidden window): its owner's entry stands for it.
class NoTaskbarEntry : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) SetTaskbarEntry(static_cast<QWidget*>(watched), false);
    return false;
  }
};

int RunOwned(QDialog& dialog) {
  NoTaskbarEntry filter;
  if (dialog.parentWidget()) dialog.installEventFilter(&filter);
  return dialog.exec();
}

// Runs the dialog; the first path the user chose, none when cancelled.
std::optional<std::string> FirstChosen(QFileDialog& dialog) {
  if (RunOwned(dialog) != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return PathFromQt(chosen.first());
}

}  // namespace

QWidget* QtDialogs::Owner() const {
  // Owned by the dialog that asks, so that it stays above it.
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return owner_;
}

void QtDialogs::MessageBox(const std::string& text, const std::string& caption) {
  // It shows also while its owner is hidden in the tray.
  QMessageBox box(QMessageBox::NoIcon, ToQt(caption), ToQt(text), QMessageBox::Ok, Owner());
  box.setTextFormat(Qt::PlainText);  // a tag or a file name is text, never markup
  trace_.Box(caption, true);
  RunOwned(box);
  trace_.Box(caption, false);
}

std::optional<std::string> QtDialogs::SaveFile(const SaveFileRequest& request) {
  QFileDialog dialog(Owner(), QString(), PathToQt(request.initialFolder),
                     QtFilterFrom(request.filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // Saving a list replaces a file of that name without asking first.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  QString suffix = ToQt(request.defaultExtension);
  if (suffix.startsWith('.')) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  return FirstChosen(dialog);
}

std::optional<std::string> QtDialogs::OpenFile() {
  QFileDialog dialog(Owner());
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  return FirstChosen(dialog);
}

std::optional<std::string> QtDialogs::BrowseForFolder(const std::string& title,
                                                      const std::string& start) {
  QFileDialog dialog(Owner(), ToQt(title), ToQt(start));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  std::optional<std::string> folder = FirstChosen(dialog);
  // No trailing delimiter, except for the root itself.
  while (folder && folder->size() > 1 && folder->back() == '/') folder->pop_back();
  return folder;
}

QString QtFilterFrom(const std::string& filter) {
  const QStringList parts = ToQt(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
  return filters.join(QStringLiteral(";;"));
}

}  // namespace solka
