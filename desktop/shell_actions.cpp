// Shell windows opened from the list menu: the base folder and the drive overview.
#include "app/tdodedev.h"

namespace solka {

namespace {
// The desktop's name for its overview of drives; the platform shell maps it.
constexpr const char* kDriveOverview = "computer:///";
}  // namespace

void TDODEDEV::N16Click() {
  // The list selection dialog's base-folder box takes precedence once that dialog exists; until
  // then the stored base folder is the one the user last chose.
  const std::string& folder = Setting(BaseFolder);
  // Nothing to open; the desktop would only report an error of its own.
  if (folder.empty()) return;
  platform_.shell.Open(folder);
}

void TDODEDEV::N14Click() {
  platform_.shell.Open(kDriveOverview);
}

}  // namespace solka
