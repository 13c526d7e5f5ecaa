// Diagnostics on Windows: each "solka: ..." line goes to stderr when the program has one
// (started from a console, or with its output redirected), to the log file beside the settings,
// and to the debugger's output, so that a program of the GUI subsystem started from Explorer
// still leaves its reasons where they can be read.
#pragma once

#include <string>

#include "platform/api/diagnostics.h"

namespace solka {

class Win32Diagnostics : public Diagnostics {
 public:
  void Warn(const std::string& line) override;
};

// The same line written the same way, for callers outside the player (process entry, the
// services' own failures).
void WarnLine(const std::string& line);

// Started from a console without standard handles of its own (as a GUI program is): stdout
// and stderr become that console's, so `solka.exe --help` and the diagnostics show there.
// Call once at process entry, before anything is written.
void AttachToParentConsole();

// Where WarnLine's lines are also kept from now on (the process's one log, like its stderr);
// set once at process entry.
void SetLogFile(const std::string& path);

}  // namespace solka
