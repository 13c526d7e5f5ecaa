// Reading a list file into the play list, and saving the play list as a list file.
#include "app/tdodedev.h"
#include "playlist/extended_list.h"

namespace solka {

namespace {
// Caption of the error boxes: the application's own name, whatever the task-bar text shows now.
constexpr const char* kErrorCaption = "SOLKA";
}  // namespace

bool TDODEDEV::LoadListFile(const std::string& path) {
  ListFileRead read = ReadListEntries(platform_.files, platform_.codec, platform_.diagnostics, path,
                                      options_.extendedLists);
  if (!read.ok) {
    // The play list and the rows keep what they held.
    platform_.dialogs.MessageBox(read.message, kErrorCaption);
    return false;
  }
  list_.SelectedListLines = std::move(read.lines);
  list_.PlayList.Assign(list_.SelectedListLines);
  return true;
}

void TDODEDEV::N4Click() {
  const std::optional<std::string> path =
      platform_.dialogs.SaveFile({Setting(BaseFolder), ".m3u", "MP3リストファイル（*.m3u）|*.m3u"});
  if (!path) return;
  // Written whole or not at all: a failed save leaves the user's old list as it was.
  const std::string error =
      platform_.files.WriteFileAtomic(*path, EncodeListFile(list_.PlayList.Items()));
  if (!error.empty())
    platform_.dialogs.MessageBox(CannotCreateMessage(*path, error), kErrorCaption);
}

}  // namespace solka
