// The dialog's widgets, made from its designed table: one widget a control, at its designed
// place, with its caption fitted by the one rule every window layer applies.
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <vector>

#include "platform/qt/dialog_style.h"
#include "platform/qt/dialog_window.h"
#include "platform/qt/qt_text.h"

namespace solka {

namespace {

constexpr int kHintShowMs = 5000;  // a hint stays up five seconds

// No incremental search by typing.
class CandidateList : public QListView {
 public:
  using QListView::QListView;
  void keyboardSearch(const QString&) override {}
};

QFont FontOf(const ControlDesign& control, int size) {
  QFont font = DialogFont(size, control.bold);
  font.setUnderline(control.kind == ControlKind::Link);
  return font;
}

template <typename W>
W* Named(W* widget, const ControlDesign& control) {
  widget->setObjectName(ToQt(control.name));
  return widget;
}

}  // namespace

void DialogWindow::Build() {
  setObjectName(ToQt(design_.name));
  setWindowTitle(ToQt(design_.caption));
  if (design_.toolWindow)
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
  else
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFont(DialogFont(12));
  std::vector<QWidget*> pages;
  if (!design_.pages.empty()) {
    pages_ = new QTabWidget(this);
    for (std::string_view caption : design_.pages) {
      pages.push_back(new QWidget);
      pages.back()->setObjectName(QStringLiteral("TabSheet%1").arg(pages.size()));
      pages_->addTab(pages.back(), ToQt(caption));
    }
  }
  std::vector<QWidget*> widgets;
  for (const ControlDesign& control : design_.controls) {
    QWidget* widget =
        Make(control, control.page > 0 ? pages[static_cast<std::size_t>(control.page - 1)] : this);
    if (control.colour.red || control.colour.green || control.colour.blue)
      SetTextColor(widget, QColor(control.colour.red, control.colour.green, control.colour.blue));
    if (!control.hint.empty()) {
      widget->setToolTip(HintText(control.hint));
      widget->setToolTipDuration(kHintShowMs);
    }
    widgets.push_back(widget);
  }
  // The title bar holds the caption in a bold face beside its icon and buttons.
  QFont title = font();
  title.setBold(true);
  const int titleExtent = QFontMetrics(title).horizontalAdvance(windowTitle()) +
                          3 * style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
  const DialogFit fit =
      FitDialog(design_, titleExtent, [&](const ControlDesign& control, int size) {
        QWidget* widget = widgets[static_cast<std::size_t>(&control - design_.controls.data())];
        widget->setFont(FontOf(control, size));
        return CaptionExtent(control, widget);
      });
  setFixedSize(fit.clientWidth, design_.clientHeight);
  if (pages_) {
    pages_->setGeometry(0, 0, fit.clientWidth, design_.pagesHeight);
    pages_->setCurrentIndex(0);
  }
  for (std::size_t i = 0; i < widgets.size(); ++i) {
    const ControlDesign& control = design_.controls[i];
    const ControlFit& placed = fit.controls[i];
    widgets[i]->setFont(FontOf(control, placed.fontSize));
    widgets[i]->setGeometry(placed.x, control.y, placed.width, control.height);
  }
}

QWidget* DialogWindow::Make(const ControlDesign& control, QWidget* parent) {
  const QString text = ToQt(control.text);
  switch (control.kind) {
    case ControlKind::Button: {
      auto* button = Named(new QPushButton(text, parent), control);
      // Return is the core's to answer; the default button only shows which one it is.
      button->setAutoDefault(false);
      button->setDefault(control.name == design_.defaultButton);
      return AddButton(button);
    }
    case ControlKind::CheckBox:
      return AddButton(Named(new QCheckBox(text, parent), control));
    case ControlKind::Radio:
      return AddButton(Named(new QRadioButton(text, parent), control));
    case ControlKind::Edit:
      return AddEdit(Named(new QLineEdit(parent), control));
    case ControlKind::Combo: {
      auto* combo = Named(new DropDownCombo(parent), control);
      combo->setMaxVisibleItems(16);
      return AddCombo(combo);
    }
    case ControlKind::List: {
      auto* list = Named(new CandidateList(parent), control);
      list->setFont(FontOf(control, control.fontSize));
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      return AddList(list, design_.rowHeight);
    }
    case ControlKind::Label:
      return Named(new QLabel(text, parent), control);
    case ControlKind::Link: {
      auto* link = Named(new QLabel(text, parent), control);
      link->setAlignment(Qt::AlignRight);
      link->setCursor(Qt::PointingHandCursor);
      return AddClickLabel(link);
    }
    case ControlKind::UpDown: {
      auto* box = Named(new QWidget(parent), control);
      AddUpDown(box, control);
      return box;
    }
    case ControlKind::Group:
      return Named(new QGroupBox(text, parent), control);
    case ControlKind::Bevel: {
      auto* bevel = Named(new QFrame(parent), control);
      bevel->setFrameShape(QFrame::VLine);
      bevel->setFrameShadow(QFrame::Sunken);
      return bevel;
    }
  }
  return nullptr;
}

int DialogWindow::CaptionExtent(const ControlDesign& control, const QWidget* widget) {
  const int text = QFontMetrics(widget->font()).horizontalAdvance(ToQt(ShownCaption(control.text)));
  const auto metric = [widget](QStyle::PixelMetric which) {
    return widget->style()->pixelMetric(which, nullptr, widget);
  };
  // What the control draws beside its text: the check mark and its gap, or the frame.
  switch (control.kind) {
    case ControlKind::CheckBox:
      return text + metric(QStyle::PM_IndicatorWidth) + metric(QStyle::PM_CheckBoxLabelSpacing);
    case ControlKind::Radio:
      return text + metric(QStyle::PM_ExclusiveIndicatorWidth) +
             metric(QStyle::PM_RadioButtonLabelSpacing);
    case ControlKind::Button:
      return text + 2 * metric(QStyle::PM_ButtonMargin);
    case ControlKind::Group:
      return text + 4 * metric(QStyle::PM_DefaultFrameWidth);
    default:
      return text;
  }
}

void DialogWindow::AddUpDown(QWidget* box, const ControlDesign& control) {
  const int height = control.height;
  const auto arrow = [this, box, &control, height](Qt::ArrowType type, int top, DialogEvent event) {
    auto* button = new QToolButton(box);
    button->setArrowType(type);
    button->setGeometry(0, top, control.width, height / 2);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    connect(button, &QToolButton::clicked, this,
            [this, box, event] { Forward(FromQt(box->objectName()), event); });
  };
  arrow(Qt::UpArrow, 0, DialogEvent::StepUp);
  arrow(Qt::DownArrow, height / 2, DialogEvent::StepDown);
  Register(box);
}

}  // namespace solka
