#include "platform/qt/qt_screen.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

#include "platform/qt/qt_text.h"
#include "platform/qt/x11_window.h"

namespace solka {

int QtScreen::AvailableHeight() {
  QScreen* screen = window_ ? window_->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry().height() : 0;
}

int QtScreen::CaptionHeight() {
  // The real title bar is known only once the window manager has framed the window.
  if (window_) {
    const int framed = window_->frameGeometry().height() - window_->geometry().height();
    if (framed > 0) return framed;
  }
  return QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
}

namespace {

// In the list's font; the default font before the list exists.
int TextWidthIn(const QWidget* list, const std::string& text) {
  const QFontMetrics metrics(list ? list->font() : QApplication::font());
  return metrics.horizontalAdvance(ToQt(text));
}

}  // namespace

int QtScreen::ListTextWidth(const std::string& text) {
  return TextWidthIn(list_, text);
}

int QtScreen::DialogListTextWidth(const std::string& text) {
  return TextWidthIn(dialogList_, text);
}

bool QtScreen::MainWindowIsForeground() {
  return window_ && window_->isActiveWindow();
}

void QtScreen::BringToFront() {
  if (!window_) return;
  window_->raise();
  window_->activateWindow();
}

void QtScreen::SetWaitCursor(bool wait) {
  if (wait) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++waitDepth_;
  } else if (waitDepth_ > 0) {
    QApplication::restoreOverrideCursor();
    --waitDepth_;
  }
  // The work that follows runs without returning to the loop: show the cursor now.
  FlushDisplay();
}

void QtScreen::CloseMainWindow() {
  // Queued: the close event must come from the loop, not from inside the caller's handler.
  if (window_ && requestClose_)
    QMetaObject::invokeMethod(window_, requestClose_, Qt::QueuedConnection);
}

}  // namespace solka
