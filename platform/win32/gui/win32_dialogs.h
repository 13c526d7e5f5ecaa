// Message boxes and the shell's file and folder dialogs.
#pragma once

#include "platform/api/desktop.h"

namespace solka {

class Win32Dialogs : public Dialogs {
 public:
  void MessageBox(const std::string& text, const std::string& caption) override;
  std::optional<std::string> SaveFile(const SaveFileRequest& request) override;
  std::optional<std::string> OpenFile() override;
  std::optional<std::string> BrowseForFolder(const std::string& title,
                                             const std::string& start) override;
};

}  // namespace solka
