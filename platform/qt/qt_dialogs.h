// Message boxes and the save dialog on Qt.
#pragma once

#include <QString>

#include "platform/api/desktop.h"
#include "platform/qt/trace.h"

namespace solka {

class QtDialogs : public Dialogs {
 public:
  void MessageBox(const std::string& text, const std::string& caption) override;
  std::optional<std::string> SaveFile(const SaveFileRequest& request) override;
  std::optional<std::string> OpenFile() override;
  std::optional<std::string> BrowseForFolder(const std::string& title) override;

 private:
  Trace trace_;
};

// "desc|pattern|desc|pattern" (the designed form) as Qt's "desc (pattern);;desc (pattern)".
QString QtFilterFrom(const std::string& filter);

}  // namespace solka
