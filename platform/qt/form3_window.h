// The time dialog TForm3 on Qt: hour and minute fields with up-down buttons, "OK" and abort,
// rendered from and reporting to the core's TForm3.
#pragma once

#include "dialogs/tform3.h"
#include "platform/qt/dialog_window.h"

namespace solka {

class Form3Window : public DialogWindow {
 public:
  explicit Form3Window(TForm3& model);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void AddUpDown(const char* name, int left);
};

}  // namespace solka
