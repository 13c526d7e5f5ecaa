// Input the main window sees before its controls do: key presses (key preview; the key still
// goes on to the focused control), mouse movement over any of its parts, and hints, which are
// held back while the player has them switched off.
#pragma once

#include <QObject>
#include <QPointF>
#include <functional>

#include "form/commands.h"

class QWidget;

namespace solka {

KeyCode KeyFromQt(int key);

class WindowInput : public QObject {
 public:
  struct Events {
    std::function<void(KeyCode)> keyDown;
    std::function<void()> mouseMove;
    std::function<bool()> hintsShown;
  };

  // Watches every event of the application for those aimed at `window`.
  WindowInput(QWidget* window, Events events);
  ~WindowInput() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool InWindow(QObject* watched) const;

  QWidget* window_;
  Events events_;
  // A mouse move that no control takes is handed on to its parents as a copy; one move is one
  // report, so copies with the same time and place are skipped.
  quint64 lastMoveTime_ = 0;
  // The key press being delivered, which the window has taken already.
  const QEvent* pressInFlight_ = nullptr;
  int handlingKey_ = 0;
  QPointF lastMovePos_;
};

}  // namespace solka
