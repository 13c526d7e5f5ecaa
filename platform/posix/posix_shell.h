// Opening documents, folders and programs the way the desktop does, and starting programs;
// always detached and never through a shell.
#pragma once

#include "platform/api/desktop.h"

namespace solka {

class PosixShell : public Shell {
 public:
  // An executable file runs itself; anything else goes to the desktop's opener.
  void Open(const std::string& target) override;
  void Start(const std::string& program, const std::vector<std::string>& arguments,
             bool hidden = false) override;
};

}  // namespace solka
