// Hints (tool tips) of the main window's controls, switched on and off as a whole.
#pragma once

#include <windows.h>

#include <set>
#include <string>

namespace solka {

class Hints {
 public:
  explicit Hints(HWND owner);
  ~Hints();
  Hints(const Hints&) = delete;
  Hints& operator=(const Hints&) = delete;

  // Sets the hint of `control`, adding it on first use; an empty text shows none.
  void Set(HWND control, const std::string& text);
  // Shown or not; also switches the tool tips of `others` (the tool bar's own).
  void Activate(bool shown, HWND others = nullptr);
  // Milliseconds a hint stays up.
  void SetShowTime(int milliseconds);

 private:
  HWND owner_;
  HWND tips_;
  std::set<HWND> known_;
};

}  // namespace solka
