// Where the program and its settings live, and the start-up's progress. Plain data, read
// through TDODEDEV::Startup().
#pragma once

#include <string>

namespace solka {

struct StartupState {
  std::string ProgramPath;
  std::string SettingsFolder;
  std::string SettingsFilePath;
  // Runs from the system's program folders (its settings live with the user): AutoPlay plays
  // the user's music folder, not the whole drive a portable copy plays.
  bool InstalledProgram = false;
  bool StartedWithFile = false;
  bool FirstIdlePending = false;
  bool StartFileSelected = false;
};

}  // namespace solka
