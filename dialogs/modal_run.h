// One modal run of a dialog's window, shared by the dialogs.
#pragma once

#include "dialogs/dialog_host.h"
#include "form/dialog_form.h"
#include "platform/api/modal_window.h"

namespace solka {

// A dialog already showing is not shown a second time, and a window that went away without a
// result (with the application, or never made) counts as cancel.
template <class Show>
int RunModalOnce(DialogForm& form, ModalWindow* window, bool& showing, Show&& show) {
  if (showing) return kResultCancel;
  form.SetModalResult(DialogForm::kNoResult);
  show();
  showing = true;
  if (window) window->RunModal();
  showing = false;
  return form.ModalResult() == DialogForm::kNoResult ? kResultCancel : form.ModalResult();
}

}  // namespace solka
