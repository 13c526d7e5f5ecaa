#include "platform/qt/dialog_window.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QShowEvent>

#include "platform/qt/dialog_rows_model.h"
#include "platform/qt/dialog_style.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/x11_window.h"

namespace solka {

namespace {

std::string Name(const QObject* object) {
  return FromQt(object->objectName());
}

}  // namespace

DialogWindow::DialogWindow(const DialogDesign& design, DialogForm& form, DialogEvents& events,
                           QWidget* owner)
    : QDialog(owner), design_(design), form_(form), events_(events) {
  setModal(true);
  Build();
  form_.SetObserver(this);
  RenderAll();
}

DialogWindow::~DialogWindow() {
  form_.SetObserver(nullptr);
}

void DialogWindow::RunModal() {
  RenderAll();
  if (form_.ModalResult() != DialogForm::kNoResult) return;
  exec();
  hide();
}

QWidget* DialogWindow::Control(std::string_view name) const {
  return findChild<QWidget*>(ToQt(name));
}

void DialogWindow::Changed(std::string_view control) {
  if (control.empty()) {
    if (form_.ModalResult() != DialogForm::kNoResult && isVisible()) done(form_.ModalResult());
    return;
  }
  Render(ToQt(control));
}

void DialogWindow::RenderAll() {
  for (auto it = controls_.cbegin(); it != controls_.cend(); ++it) Render(it.key());
}

void DialogWindow::Render(const QString& name) {
  if (name == QStringLiteral("ActiveControl")) {
    if (QWidget* target = controls_.value(ToQt(form_.Text("ActiveControl")), nullptr))
      target->setFocus();
    return;
  }
  QWidget* widget = controls_.value(name, nullptr);
  if (!widget) return;
  const std::string key = FromQt(name);
  rendering_ = true;
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    if (button->isCheckable()) button->setChecked(form_.Checked(key));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    const QString text = ToQt(form_.Text(key));
    if (edit->text() != text) edit->setText(text);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    QStringList items;
    for (const std::string& item : form_.Items(key)) items << ToQt(item);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    if (shown != items) {
      combo->clear();
      combo->addItems(items);
    }
    combo->setCurrentIndex(form_.ItemIndex(key));
  } else if (auto* list = qobject_cast<QListView*>(widget)) {
    DialogRowsModel* model = rows_.value(name, nullptr);
    model->Update();
    QItemSelection selection;
    for (const auto& [first, last] : form_.SelectedRuns(key))
      selection.select(model->index(first, 0), model->index(last, 0));
    list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(ToQt(form_.Text(key)));
  }
  rendering_ = false;
}

void DialogWindow::Forward(std::string_view control, DialogEvent event, int row) {
  if (rendering_) return;
  events_.Handle(control, event, row);
  // Qt may have changed the control on its own (a radio button clicked while checked): show
  // the core's state again.
  Render(ToQt(control));
}

QAbstractButton* DialogWindow::AddButton(QAbstractButton* button) {
  Register(button);
  if (auto* radio = qobject_cast<QRadioButton*>(button)) {
    // The core keeps the group's single check; the focus arriving is an event of its own.
    radio->setAutoExclusive(false);
    radio->installEventFilter(this);
  }
  connect(button, &QAbstractButton::clicked, this, [this, button](bool checked) {
    const std::string name = Name(button);
    if (qobject_cast<QCheckBox*>(button)) form_.SetCheckedFromView(name, checked);
    Forward(name, DialogEvent::Click);
  });
  return button;
}

QLabel* DialogWindow::AddClickLabel(QLabel* label) {
  Register(label);
  label->installEventFilter(this);
  return label;
}

QLineEdit* DialogWindow::AddEdit(QLineEdit* edit) {
  Register(edit);
  edit->installEventFilter(this);
  connect(edit, &QLineEdit::textEdited, this,
          [this, edit](const QString& text) { form_.SetTextFromView(Name(edit), FromQt(text)); });
  return edit;
}

DropDownCombo* DialogWindow::AddCombo(DropDownCombo* combo) {
  Register(combo);
  combo->onDropDown = [this, combo] { Forward(Name(combo), DialogEvent::DropDown); };
  connect(combo, &QComboBox::activated, this, [this, combo](int index) {
    form_.SetItemIndexFromView(Name(combo), index);
    Forward(Name(combo), DialogEvent::Change);
  });
  return combo;
}

QListView* DialogWindow::AddList(QListView* list, int rowHeight) {
  Register(list);
  auto* model = new DialogRowsModel(form_, Name(list), rowHeight, list);
  rows_.insert(list->objectName(), model);
  list->setModel(model);
  model->SetItemMargins(ItemTextMargins(list));
  list->setUniformItemSizes(true);
  // The selection is the core's: a click is reported, the core toggles the row.
  list->setSelectionMode(QAbstractItemView::NoSelection);
  list->installEventFilter(this);
  connect(list, &QAbstractItemView::clicked, this, [this, list](const QModelIndex& index) {
    Forward(Name(list), DialogEvent::RowClick, index.row());
  });
  connect(list, &QAbstractItemView::doubleClicked, this, [this, list](const QModelIndex& index) {
    Forward(Name(list), DialogEvent::DblClick, index.row());
  });
  return list;
}

void DialogWindow::reject() {
  // Esc and the close box end the dialog only through the core's answer.
  Forward("", DialogEvent::CloseBox);
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
  const std::string name = Name(watched);
  switch (event->type()) {
    case QEvent::FocusIn:
      if (qobject_cast<QRadioButton*>(watched)) Forward(name, DialogEvent::Enter);
      break;
    case QEvent::MouseButtonRelease:
      if (qobject_cast<QLabel*>(watched)) Forward(name, DialogEvent::Click);
      break;
    case QEvent::Enter:
      if (qobject_cast<QListView*>(watched)) Forward(name, DialogEvent::MouseEnter);
      break;
    case QEvent::KeyPress:
      if (qobject_cast<QListView*>(watched) &&
          static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        const QModelIndex current = static_cast<QListView*>(watched)->currentIndex();
        if (current.isValid()) Forward(name, DialogEvent::SpaceKey, current.row());
        return true;
      }
      if (qobject_cast<QLineEdit*>(watched)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
          Forward(name, key == Qt::Key_Up ? DialogEvent::StepUp : DialogEvent::StepDown);
          return true;
        }
      }
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  // Return is the core's to answer (it may keep the dialog open), not the default button's.
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      Forward("", DialogEvent::ReturnKey);
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

void DialogWindow::showEvent(QShowEvent* event) {
  if (design_.toolWindow) SetToolWindowType(this);
  QDialog::showEvent(event);
  // The owner's task-bar entry stands for it.
  if (parentWidget()) SetTaskbarEntry(this, false);
  if (QWidget* first = controls_.value(ToQt(design_.firstFocus), nullptr)) first->setFocus();
}

}  // namespace solka
