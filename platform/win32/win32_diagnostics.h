// Diagnostics on Windows: one "solka: ..." line on stderr when the program has one (started
// from a console or with its output redirected), else on the debugger's output.
#pragma once

#include "platform/api/diagnostics.h"

namespace solka {

class Win32Diagnostics : public Diagnostics {
 public:
  void Warn(const std::string& line) override;
};

// The same line written the same way, for callers outside the player (process entry, the
// services' own failures).
void WarnLine(const std::string& line);

}  // namespace solka
