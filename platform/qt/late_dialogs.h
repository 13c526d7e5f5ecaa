// The windows of the two dialogs, built after the start-up: they cost more than the main window,
// and neither is needed before the user asks for one. Built the first time the event loop runs
// dry once the start-up's first idle step is done (so after the first track has started), or
// when a dialog is opened before that, whichever comes first.
#pragma once

#include <QMetaObject>
#include <functional>
#include <memory>

#include "dialogs/player_dialogs.h"
#include "platform/api/modal_window.h"
#include "platform/qt/dialog_window.h"

namespace solka {

class LateDialogs {
 public:
  // `owner`: the main window. `built`: told each dialog list once it exists (the screen measures
  // its rows in its font).
  LateDialogs(PlayerDialogs& models, QWidget* owner, std::function<void(QWidget*)> built);
  ~LateDialogs();
  LateDialogs(const LateDialogs&) = delete;
  LateDialogs& operator=(const LateDialogs&) = delete;

  // Builds them at the first idle moment after `startupDone` says so.
  void BuildWhenIdle(std::function<bool()> startupDone);
  void Build();
  // Null until built.
  DialogWindow* Form2() const { return form2_.get(); }
  DialogWindow* Form3() const { return form3_.get(); }

 private:
  // What the dialog models show: the window itself once it is built.
  class OnUse : public ModalWindow {
   public:
    explicit OnUse(std::function<ModalWindow&()> window) : window_(std::move(window)) {}
    void RunModal() override { window_().RunModal(); }

   private:
    std::function<ModalWindow&()> window_;
  };

  PlayerDialogs& models_;
  QWidget* owner_;
  std::function<void(QWidget*)> built_;
  std::unique_ptr<DialogWindow> form2_;
  std::unique_ptr<DialogWindow> form3_;
  OnUse form2OnUse_, form3OnUse_;
  QMetaObject::Connection idleHook_;
};

}  // namespace solka
