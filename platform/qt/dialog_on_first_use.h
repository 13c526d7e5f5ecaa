// A dialog window that is built the first time it is shown: most runs never open a dialog, and
// building its widgets would hold up the start.
#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "platform/api/modal_window.h"

namespace solka {

class DialogOnFirstUse : public ModalWindow {
 public:
  using Build = std::function<std::unique_ptr<ModalWindow>()>;
  explicit DialogOnFirstUse(Build build) : build_(std::move(build)) {}

  void RunModal() override {
    if (!window_) window_ = build_();
    window_->RunModal();
  }

 private:
  Build build_;
  std::unique_ptr<ModalWindow> window_;
};

}  // namespace solka
