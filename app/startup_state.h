// Where the program and its settings live, and the start-up's progress. Plain data, read
// through TDODEDEV::Startup().
#pragma once

#include <string>

namespace solka {

struct StartupState {
  std::string ProgramPath;
  std::string SettingsFolder;
  std::string SettingsFilePath;
  bool StartedWithFile = false;
  bool FirstIdlePending = false;
  bool StartFileSelected = false;
};

}  // namespace solka
