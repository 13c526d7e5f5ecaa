// The play list and how it was gathered. Plain data, read through TDODEDEV::List().
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/string_list.h"

namespace solka {

struct ListState {
  StringList PlayList;
  std::vector<std::string> SelectedFolders;
  std::vector<std::string> SelectedListLines;  // the lines of the list file last read
  bool ListMode = false;                       // ListFile
  bool ListBoxSorted = false;
  bool NoSubFolderScan = false;    // the next scan stays in its folder
  std::string ReferenceExtension;  // the start-up argument's type, for the FileType "2" scan
};

// Paths handed over by later starts that the player has answered but not yet acted on.
struct HandOverState {
  std::optional<std::string> Pending;  // the newest; it replaces any older one
  bool Posted = false;                 // a run of the queue is on its way
  bool Running = false;                // a hand-over is being acted on (its box may be up)
};

}  // namespace solka
