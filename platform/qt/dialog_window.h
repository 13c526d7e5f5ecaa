// A dialog on Qt Widgets, built from the dialog's designed table, that renders a core DialogForm
// control by control and forwards what the user does to the dialog's DialogEvents, both by
// designed control name (the widget's object name). It decides nothing itself: even the modal
// result comes from the core.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QHash>
#include <QString>
#include <functional>
#include <string_view>

#include "form/dialog_design.h"
#include "form/dialog_form.h"
#include "platform/api/modal_window.h"

class QAbstractButton;
class QLabel;
class QLineEdit;
class QListView;
class QTabWidget;

namespace solka {

class DialogRowsModel;

// A combo box that tells when it opens its list.
class DropDownCombo : public QComboBox {
 public:
  using QComboBox::QComboBox;
  std::function<void()> onDropDown;
  void showPopup() override {
    if (onDropDown) onDropDown();
    QComboBox::showPopup();
  }
};

class DialogWindow : public QDialog, public DialogObserver, public ModalWindow {
 public:
  // `owner`: the window the dialog belongs to (it has no task-bar entry of its own and is
  // minimised and restored with it).
  DialogWindow(const DialogDesign& design, DialogForm& form, DialogEvents& events,
               QWidget* owner = nullptr);
  ~DialogWindow() override;

  void RunModal() override;
  void Changed(std::string_view control) override;

  // The widget of a designed control, for tests and screenshots.
  QWidget* Control(std::string_view name) const;
  QTabWidget* Pages() const { return pages_; }
  // A caption's width in its widget's font, with the control's check mark or frame.
  static int CaptionExtent(const ControlDesign& control, const QWidget* widget);

 private:
  // dialog_build.cpp: the window and every control of the design.
  void Build();
  QWidget* Make(const ControlDesign& control, QWidget* parent);
  void AddUpDown(QWidget* box, const ControlDesign& control);
  // Each registers the widget under its object name, renders it and wires its events.
  QAbstractButton* AddButton(QAbstractButton* button);  // push, check and radio buttons
  QLabel* AddClickLabel(QLabel* label);
  QLineEdit* AddEdit(QLineEdit* edit);
  DropDownCombo* AddCombo(DropDownCombo* combo);
  QListView* AddList(QListView* list, int rowHeight);
  // Registers the widget under its object name; alone, for a control with no state of its own
  // to render (an up-down button).
  void Register(QWidget* widget) { controls_.insert(widget->objectName(), widget); }
  void Forward(std::string_view control, DialogEvent event, int row = -1);
  void Render(const QString& name);
  void RenderAll();

  // Esc and the close box reach the core, which sets the result (or keeps the dialog open).
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

  const DialogDesign& design_;
  DialogForm& form_;
  DialogEvents& events_;
  QTabWidget* pages_ = nullptr;
  QHash<QString, QWidget*> controls_;
  QHash<QString, DialogRowsModel*> rows_;
  bool rendering_ = false;
};

}  // namespace solka
