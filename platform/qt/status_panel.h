// The status panel Panel1 along the bottom: the volume, track-number and position labels and
// the flat "to the tray" button, at their designed places.
#pragma once

#include <QLabel>
#include <QWidget>
#include <functional>
#include <string_view>

#include "form/main_form.h"

class QToolButton;

namespace solka {

// A label that reports clicks and double-clicks the way the designed labels do: a click is a
// press and release inside the label; the second press of a double-click is no click.
class ClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> onClick, onDoubleClick;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

class StatusPanel : public QWidget {
 public:
  struct Events {
    std::function<void(std::string_view)> click;  // Label1, Label2, SpeedButton1
    std::function<void()> volumeDoubleClick;      // Label3
  };

  explicit StatusPanel(Events events, QWidget* parent = nullptr);

  // Label n (1..3) as the player holds it.
  void ShowLabel(int n, const LabelState& state);
  ClickLabel* Label(int n) const { return labels_[n - 1]; }
  QToolButton* TrayButton() const { return trayButton_; }

 private:
  Events events_;
  ClickLabel* labels_[3] = {};
  QToolButton* trayButton_ = nullptr;
};

}  // namespace solka
