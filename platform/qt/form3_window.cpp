#include "platform/qt/form3_window.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

#include "platform/qt/dialog_style.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/x11_window.h"

namespace solka {

namespace {

constexpr int kClientWidth = 150, kClientHeight = 71;

QLabel* UnitLabel(QWidget* parent, const char* name, const char* text, int left) {
  auto* label = new QLabel(ToQt(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(DialogFont(15, true));
  label->setGeometry(left, 10, 18, 18);
  return label;
}

}  // namespace

Form3Window::Form3Window(DialogForm& form, DialogEvents& events, QWidget* owner)
    : DialogWindow(form, events, owner) {
  setObjectName(QStringLiteral("TForm3"));
  setWindowTitle(ToQt(TForm3::kCaption));
  // A tool window: small title bar with a close box.
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  // Wide enough for the whole caption beside the title bar's icon and close box.
  QFont title = font();
  title.setBold(true);
  const int titleWidth = QFontMetrics(title).horizontalAdvance(windowTitle()) +
                         3 * style()->pixelMetric(QStyle::PM_TitleBarHeight);
  setFixedSize(std::max(kClientWidth, titleWidth), kClientHeight);
  setFont(DialogFont(12));

  const auto edit = [this](const char* name, int left, int width) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromLatin1(name));
    field->setFont(DialogFont(13));
    field->setGeometry(left, 8, width, 22);
    AddEdit(field);
  };
  edit("Edit1", 8, 31);
  AddUpDown("UpDown1", 39);
  UnitLabel(this, "Label2", "時", 57);
  edit("Edit2", 76, 32);
  AddUpDown("UpDown2", 108);
  UnitLabel(this, "Label3", "分", 126);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("BitBtn1"));
  ok->setGeometry(6, 40, 66, 25);
  ok->setDefault(true);
  AddButton(ok);
  auto* abort = new QPushButton(ToQt("中止(&A)"), this);
  abort->setObjectName(QStringLiteral("BitBtn2"));
  abort->setGeometry(78, 40, 66, 25);
  abort->setAutoDefault(false);
  AddButton(abort);
  RenderAll();
}

void Form3Window::showEvent(QShowEvent* event) {
  SetToolWindowType(this);
  DialogWindow::showEvent(event);
  // "OK" has the focus when the dialog opens.
  Control("BitBtn1")->setFocus();
}

void Form3Window::AddUpDown(const char* name, int left) {
  auto* box = new QWidget(this);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(left, 8, 15, 22);
  const auto arrow = [this, box](Qt::ArrowType type, int top, DialogEvent event) {
    auto* button = new QToolButton(box);
    button->setArrowType(type);
    button->setGeometry(0, top, 15, 11);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    connect(button, &QToolButton::clicked, this,
            [this, box, event] { Forward(FromQt(box->objectName()), event); });
  };
  arrow(Qt::UpArrow, 0, DialogEvent::StepUp);
  arrow(Qt::DownArrow, 11, DialogEvent::StepDown);
  Register(box);
}

}  // namespace solka
