// Files and folders dropped on the main window: each item handled at once, in drop order.
#include "app/tdodedev.h"
#include "base/paths.h"
#include "playlist/count_label.h"
#include "playlist/given_path.h"

namespace solka {

void TDODEDEV::WMDropFiles(const std::vector<std::string>& paths) {
  const PathSyntax syntax = platform_.files.Syntax();
  for (const std::string& path : paths) {
    if (!FitsPathLimit(path, syntax)) {
      platform_.diagnostics.Warn("dropped item of " + std::to_string(path.size()) +
                                 " bytes skipped, longer than any path can be");
      continue;
    }
    const GivenKind kind = ClassifyGivenPath(platform_.files, path).kind;
    if (kind == GivenKind::Folder) {
      // Always with its sub-folders.
      ScanFolder(WithDelimiter(path, syntax));
    } else if (kind == GivenKind::Track) {
      list_.PlayList.Add(path);
    } else if (kind == GivenKind::List) {
      // An unreadable list file ends the drop; what came before it stays.
      if (!LoadListFile(path)) break;
    }
    form_.SetLabelText(2, TrackCountText(list_.PlayList.size()));
  }
  RefreshListBox();
  FitScrollWidth();
}

}  // namespace solka
