// SOLKA_TRACE=1: the window reports each change of its caption and of the tray icon and hint on
// stderr, each message box, and where its controls stand once it is first shown, so
// whole-program tests can follow what the player shows and aim the pointer at a control.
#pragma once

#include <map>
#include <string>

namespace solka {

class Trace {
 public:
  // Reads SOLKA_TRACE once.
  Trace();
  explicit Trace(bool enabled) : enabled_(enabled) {}
  bool Enabled() const { return enabled_; }

  // The sleep button's image and hint: "solka: sleep: <image> <hint>".
  void Sleep(int image, const std::string& hint);
  void Caption(const std::string& text);
  void Tray(int icon, const std::string& hint);
  // A message box coming up ("solka: box: <caption>") and going ("solka: box closed").
  void Box(const std::string& caption, bool up);
  // A control's rectangle in the window's client area.
  void Control(const std::string& name, int x, int y, int width, int height);
  // Any other state the tests follow ("solka: <name>: <value>"), told when it changes: whether
  // the window is shown, its stored geometry, the panel's labels.
  void State(const std::string& name, const std::string& value);

 private:
  bool enabled_;
  bool anyCaption_ = false, anyTray_ = false;
  std::string caption_;
  int trayIcon_ = -1;
  std::string trayHint_;
  std::map<std::string, std::string> states_;
};

}  // namespace solka
