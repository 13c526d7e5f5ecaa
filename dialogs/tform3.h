// The time dialog TForm3: hour and minute of a time-of-day sleep deadline, each an edit field
// with up-down buttons. "OK" hands the two texts back only when they form a time of day.
#pragma once

#include <string>
#include <string_view>

#include "app/platform_services.h"
#include "dialogs/dialog_host.h"
#include "form/dialog_design.h"
#include "form/dialog_form.h"
#include "platform/api/modal_window.h"

namespace solka {

class TForm3 : public DialogEvents {
 public:
  TForm3(DialogHost& host, PlatformServices& platform) : host_(host), platform_(platform) {}
  TForm3(const TForm3&) = delete;
  TForm3& operator=(const TForm3&) = delete;

  static constexpr std::string_view kCaption = "時刻設定 （24時間）";
  static constexpr std::string_view kInvalidTime =
      "時刻を正しく入力してください（時は0～23、分は0～59）";
  static constexpr int kMaxHour = 23, kMaxMinute = 59;
  // Every control as designed, for the window layers to build (dialogs/formm_design.cpp).
  static const DialogDesign& Design();

  DialogForm Form;  // Edit1 hour, Edit2 minute

  void SetWindow(ModalWindow* window) { window_ = window; }
  bool Showing() const { return showing_; }
  // Fills the fields, shows the dialog and waits: 1 "OK", 3 abort, 2 closed.
  int ShowModal();

  bool Handle(std::string_view control, DialogEvent event, int row = -1) override;

  void FormShow();      // the deadline armed, or else the present time
  void BitBtn1Click();  // "OK": accepted only as a valid time of day
  void BitBtn2Click();  // abort: cancel any sleep
  void UpDownClick(std::string_view edit, int maximum, int step);  // step a field by one

  // The number a field's text stands for when it is a plain decimal in 0..maximum, else -1.
  static int FieldValue(std::string_view text, int maximum);

 private:
  DialogHost& host_;
  PlatformServices& platform_;
  ModalWindow* window_ = nullptr;
  bool showing_ = false;
};

}  // namespace solka
