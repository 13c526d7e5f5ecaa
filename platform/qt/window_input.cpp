#include "platform/qt/window_input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

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
      // A key from the window system reaches the window's handle first: a new press.
      if (watched == static_cast<QObject*>(window_->windowHandle())) {
        pressInFlight_ = nullptr;
        return false;
      }
      // Then it goes to the focused control (the window itself when none has the focus) and up
      // its parents; the window takes it at the first of these deliveries only. Which one is
      // first cannot be told from the focus: handling the key may move it.
      if (!InWindow(watched) || event == pressInFlight_ || !events_.keyDown) return false;
      pressInFlight_ = event;
      ++handlingKey_;
      events_.keyDown(KeyFromQt(static_cast<QKeyEvent*>(event)->key()));
      --handlingKey_;
      return false;
    }
    case QEvent::KeyRelease:
      // A press sent straight to a control (not through the window system) ends here; a release
      // handled while the press is still being handled leaves it be.
      if (handlingKey_ == 0) pressInFlight_ = nullptr;
      return false;
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
