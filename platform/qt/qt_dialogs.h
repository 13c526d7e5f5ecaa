// Message boxes and the save dialog on Qt.
#pragma once

#include <QString>

#include "form/trace.h"
#include "platform/api/desktop.h"

class QWidget;

namespace solka {

class QtDialogs : public Dialogs {
 public:
  // The window that message boxes and file dialogs belong to when no dialog of the program is
  // up (they then have no task-bar entry of their own and come back with it).
  void SetOwner(QWidget* owner) { owner_ = owner; }

  void MessageBox(const std::string& text, const std::string& caption) override;
  std::optional<std::string> SaveFile(const SaveFileRequest& request) override;
  std::optional<std::string> OpenFile() override;
  std::optional<std::string> BrowseForFolder(const std::string& title,
                                             const std::string& start) override;

 private:
  QWidget* Owner() const;

  QWidget* owner_ = nullptr;
  Trace trace_;
};

// "desc|pattern|desc|pattern" (the designed form) as Qt's "desc (pattern);;desc (pattern)".
QString QtFilterFrom(const std::string& filter);

}  // namespace solka
