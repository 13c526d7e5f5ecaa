#include "platform/posix/stderr_diagnostics.h"

#include <cstdio>

namespace solka {

void StderrDiagnostics::Warn(const std::string& line) {
  std::string text = "solka: " + line;
  // A line stays one line, whatever a file name or a back end's message holds.
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  text += '\n';
  // One write per line, so that a line of another thread never lands inside it.
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace solka
