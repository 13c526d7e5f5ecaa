#include "platform/qt/status_panel.h"

#include <QMouseEvent>
#include <QToolButton>

#include "form/layout.h"
#include "platform/qt/qt_text.h"

namespace solka {

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click && onClick) onClick();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  // A label without a double-click of its own takes the second press of a quick double click
  // as the press it is, so every click counts.
  if (!onDoubleClick) {
    mousePressEvent(event);
    return;
  }
  pressed_ = false;
  QLabel::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) onDoubleClick();
}

StatusPanel::StatusPanel(Events events, QWidget* parent)
    : QWidget(parent), events_(std::move(events)) {
  setObjectName(QStringLiteral("Panel1"));
  setMouseTracking(true);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Window);
  for (const PanelControlDef& def : PanelControls()) {
    const std::string name(def.name);
    if (name == "SpeedButton1") {
      trayButton_ = new QToolButton(this);
      trayButton_->setObjectName(ToQt(def.name));
      trayButton_->setAutoRaise(true);
      trayButton_->setIcon(QIcon(QStringLiteral(":/toolbar/tray.png")));
      trayButton_->setIconSize(QSize(12, 12));
      trayButton_->setGeometry(def.left, (kPanelHeight - 16) / 2, def.width, 16);
      trayButton_->setToolTip(ToQt(def.hint));
      trayButton_->setMouseTracking(true);
      connect(trayButton_, &QToolButton::clicked, this, [this, name] { events_.click(name); });
      continue;
    }
    auto* label = new ClickLabel(this);
    label->setObjectName(ToQt(def.name));
    label->setGeometry(def.left, 0, def.width, kPanelHeight);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);  // a track title is text, never markup
    label->setToolTip(ToQt(def.hint));
    label->setMouseTracking(true);
    const int n = name.back() - '0';
    if (n == 3) {
      // The volume stands on grey.
      label->setAutoFillBackground(true);
      QPalette pal = label->palette();
      pal.setColor(QPalette::Window, QColor(0xc0, 0xc0, 0xc0));
      label->setPalette(pal);
      label->onDoubleClick = [this] { events_.volumeDoubleClick(); };
    } else {
      label->onClick = [this, name] { events_.click(name); };
    }
    labels_[n - 1] = label;
  }
}

void StatusPanel::ShowLabel(int n, const LabelState& state) {
  ClickLabel* label = labels_[n - 1];
  if (!label) return;
  label->setText(ToQt(state.text));
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, state.color == Color::Blue ? QColor(0, 0, 255) : Qt::black);
  label->setPalette(pal);
}

}  // namespace solka
