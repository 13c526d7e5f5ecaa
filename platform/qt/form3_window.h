// The time dialog TForm3 on Qt: hour and minute fields with up-down buttons, "OK" and abort,
// rendered from and reporting to the core's TForm3.
#pragma once

#include "dialogs/tform3.h"
#include "platform/qt/dialog_window.h"

namespace solka {

class Form3Window : public DialogWindow {
 public:
  // `form` and `events` are the model's (TForm3::Form and the model itself).
  Form3Window(DialogForm& form, DialogEvents& events, QWidget* owner = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void AddUpDown(const char* name, int left);
};

}  // namespace solka
