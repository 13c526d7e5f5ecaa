// Diagnostics on stderr, one "solka: ..." line each.
#pragma once

#include "platform/api/diagnostics.h"

namespace solka {

class StderrDiagnostics : public Diagnostics {
 public:
  void Warn(const std::string& line) override;
};

}  // namespace solka
