// Where the settings file lives, decided once per process: beside the program where the user
// may write there (or may still rewrite the file found there), in the temporary folder when
// the program runs from optical media, otherwise in the user's own settings folder. The
// Windows program keeps its log there too.
#pragma once

#include <string>

#include "platform/api/files.h"

namespace solka {

struct SettingsPlace {
  std::string folder;
  bool fromCdRom = false;
  // The program runs from a folder the user may not write: the system's program folders.
  bool installed = false;
};

// The folder for the program file `programPath`; the user's settings folder is created when
// it is the one chosen.
SettingsPlace ChooseSettingsPlace(const std::string& programPath, FileSystem& files);

}  // namespace solka
