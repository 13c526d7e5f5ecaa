// Lines for whoever watches the program from a terminal: why a file did not play, why the
// settings were not saved. The window shows only the designed texts; this says the rest.
//
// Contract: GUI thread only; returns promptly, never throws, never shows anything to the user
// in the window. A platform without a terminal may drop the lines.
#pragma once

#include <string>

namespace solka {

class Diagnostics {
 public:
  virtual ~Diagnostics() = default;
  // One line of text, without a line end; the platform adds the program's name before it.
  virtual void Warn(const std::string& line) = 0;
};

}  // namespace solka
