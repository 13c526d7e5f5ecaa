#include "platform/qt/window_input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace solka {

KeyCode KeyFromQt(int key) {
  switch (key) {
    case Qt::Key_F1:
      return KeyCode::F1;
    case Qt::Key_Escape:
      return KeyCode::Escape;
    case Qt::Key_Space:
      return KeyCode::Space;
    case Qt::Key_Up:
      return KeyCode::Up;
    case Qt::Key_Down:
      return KeyCode::Down;
    case Qt::Key_F4:
      return KeyCode::F4;
    case Qt::Key_F5:
      return KeyCode::F5;
    case Qt::Key_F8:
      return KeyCode::F8;
    default:
      return KeyCode::Other;
  }
}

WindowInput::WindowInput(QWidget* window, Events events)
    : window_(window), events_(std::move(events)) {
  qApp->installEventFilter(this);
}

WindowInput::~WindowInput() {
  qApp->removeEventFilter(this);
}

bool WindowInput::InWindow(QObject* watched) const {
  return watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == window_;
}

bool WindowInput::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      // A key goes first to the focused control (the window itself when none has the focus)
      // and then up its parents; the window takes it at that first delivery only.
      QWidget* first = QApplication::focusWidget();
      if (!first || first->window() != window_) first = window_;
      if (watched == first && InWindow(watched) && events_.keyDown)
        events_.keyDown(KeyFromQt(static_cast<QKeyEvent*>(event)->key()));
      return false;
    }
    case QEvent::MouseMove: {
      if (!InWindow(watched)) return false;
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->timestamp() == lastMoveTime_ && mouse->globalPosition() == lastMovePos_)
        return false;
      lastMoveTime_ = mouse->timestamp();
      lastMovePos_ = mouse->globalPosition();
      if (events_.mouseMove) events_.mouseMove();
      return false;
    }
    case QEvent::ToolTip:
      return InWindow(watched) && events_.hintsShown && !events_.hintsShown();
    default:
      return false;
  }
}

}  // namespace solka
