// The screen and window system as the core asks it, on Win32.
#pragma once

#include <windows.h>

#include "platform/api/desktop.h"

namespace solka {

class Win32Screen : public Screen {
 public:
  // `main`: the main window; `list`, `dialogList`: the list boxes whose fonts measure rows.
  void SetMainWindow(HWND main, HWND list) { main_ = main, list_ = list; }
  void SetDialogList(HWND list) { dialogList_ = list; }

  int AvailableHeight() override;
  int CaptionHeight() override;
  int ListTextWidth(const std::string& text) override;
  int DialogListTextWidth(const std::string& text) override;
  bool MainWindowIsForeground() override;
  void BringToFront() override;
  void SetWaitCursor(bool wait) override;
  void CloseMainWindow() override;

 private:
  HWND main_ = nullptr, list_ = nullptr, dialogList_ = nullptr;
  int waitDepth_ = 0;
};

}  // namespace solka
