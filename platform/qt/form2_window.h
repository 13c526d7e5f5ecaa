// The list selection dialog TForm2 on Qt: tab "リスト選択" and tab "各種設定", laid out as
// designed, rendered from and reporting to the core's TForm2.
#pragma once

#include "dialogs/tform2.h"
#include "platform/qt/dialog_window.h"

class QTabWidget;

namespace solka {

class Form2Window : public DialogWindow {
 public:
  // `form` and `events` are the model's (TForm2::Form and the model itself).
  Form2Window(DialogForm& form, DialogEvents& events, QWidget* owner = nullptr);
  QTabWidget* Pages() const { return pages_; }

 private:
  void BuildListTab(QWidget* page);
  void BuildSettingsTab(QWidget* page);

  QTabWidget* pages_ = nullptr;
};

}  // namespace solka
