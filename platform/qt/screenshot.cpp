#include "platform/qt/screenshot.h"

#include <QDir>
#include <QMenu>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "form/layout.h"
#include "platform/qt/main_window.h"
#include "platform/qt/menus.h"

namespace solka {

namespace {

constexpr int kSettleMs = 1500;

void Save(const QPixmap& picture, const QString& path) {
  const bool ok = picture.save(path, "PNG");
  std::fprintf(stderr, "solka: screenshot %s: %s\n", ok ? "saved" : "failed",
               path.toLocal8Bit().constData());
}

}  // namespace

Screenshots::Screenshots(MainWindow& window)
    : window_(window), folder_(qEnvironmentVariable("SOLKA_SCREENSHOT")) {
  if (folder_.isEmpty()) return;
  QDir().mkpath(folder_);
  QTimer::singleShot(kSettleMs, this, [this] { TakeWindow(); });
}

void Screenshots::TakeWindow() {
  if (window_.isVisible()) {
    const bool compact = window_.height() + MainForm::kFrameHeight == MainForm::kCompactHeight;
    Save(window_.grab(), QDir(folder_).filePath(compact ? QStringLiteral("main-window-compact.png")
                                                        : QStringLiteral("main-window.png")));
  }
  TakeTrayMenu();
}

void Screenshots::TakeTrayMenu() {
  QMenu* menu = window_.Menus().Menu(kTrayMenu);
  if (!menu) return;
  menu->popup(window_.isVisible() ? window_.geometry().topRight() : QPoint(0, 0));
  QTimer::singleShot(500, this, [this, menu] {
    Save(menu->grab(), QDir(folder_).filePath(QStringLiteral("tray-menu.png")));
    menu->hide();
  });
}

}  // namespace solka
