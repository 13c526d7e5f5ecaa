// Files and folders dropped on the main window: each item handled at once, in drop order.
#include "app/tdodedev.h"
#include "base/paths.h"
#include "playlist/count_label.h"
#include "playlist/media_types.h"

namespace solka {

void TDODEDEV::WMDropFiles(const std::vector<std::string>& paths) {
  const PathSyntax syntax = platform_.files.Syntax();
  for (const std::string& path : paths) {
    const std::string extension = ExtensionOf(path, syntax);
    if (InColumn(extension, MediaColumn::DroppedFile)) {
      list_.PlayList.Add(path);
    } else if (IsListFileExtension(extension, Match::NoCase)) {
      // An unreadable list file ends the drop; what came before it stays.
      if (!LoadListFile(path)) break;
    } else {
      // Anything else is taken as a folder, always with its sub-folders.
      ScanFolder(WithDelimiter(path, syntax));
    }
    form_.SetLabelText(2, TrackCountText(list_.PlayList.size()));
  }
  RefreshListBox();
  FitScrollWidth();
}

}  // namespace solka
