// Shell windows opened from the list menu: the base folder and the drive overview.
#include "app/tdodedev.h"
#include "dialogs/tform2.h"

namespace solka {

namespace {
// The desktop's name for its overview of drives; the platform shell maps it.
constexpr const char* kDriveOverview = "computer:///";
}  // namespace

void TDODEDEV::N16Click() {
  // The list selection dialog keeps showing the entry it last showed, even after a cancel; that
  // entry is the current base folder. Before the dialog was first opened its box is empty.
  std::string folder = form2_ ? form2_->Form.ShownItem("Edit1") : std::string();
  if (folder.empty()) folder = Setting(BaseFolder);
  // Nothing to open; the desktop would only report an error of its own.
  if (folder.empty()) return;
  platform_.shell.Open(folder);
}

void TDODEDEV::N14Click() {
  platform_.shell.Open(kDriveOverview);
}

}  // namespace solka
