// Files and folders dragged from the desktop onto the main window.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "form/commands.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_text.h"

namespace solka {

namespace {

// The local paths among the dragged items, in their order; remote ones are no files of ours.
std::vector<std::string> LocalPaths(const QMimeData* data) {
  std::vector<std::string> paths;
  if (!data || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.push_back(PathFromQt(url.toLocalFile()));
  return paths;
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!LocalPaths(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::vector<std::string> paths = LocalPaths(event->mimeData());
  if (paths.empty()) return;
  event->acceptProposedAction();
  // The window that took the drop takes the keyboard too, so the keys act on what was dropped.
  activateWindow();
  commands_.DropFiles(paths);
}

}  // namespace solka
