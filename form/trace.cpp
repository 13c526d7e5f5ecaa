#include "form/trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace solka {

Trace::Trace() {
  const char* value = std::getenv("SOLKA_TRACE");
  enabled_ = value && std::strcmp(value, "1") == 0;
}

void Trace::Sleep(int image, const std::string& hint) {
  if (!enabled_) return;
  std::fprintf(stderr, "solka: sleep: %d %s\n", image, hint.c_str());
  std::fflush(stderr);
}

void Trace::Caption(const std::string& text) {
  if (!enabled_ || (anyCaption_ && text == caption_)) return;
  anyCaption_ = true;
  caption_ = text;
  std::fprintf(stderr, "solka: caption: %s\n", text.c_str());
  std::fflush(stderr);
}

void Trace::Tray(int icon, const std::string& hint) {
  if (!enabled_ || (anyTray_ && icon == trayIcon_ && hint == trayHint_)) return;
  anyTray_ = true;
  trayIcon_ = icon;
  trayHint_ = hint;
  std::fprintf(stderr, "solka: tray: %d %s\n", icon, hint.c_str());
  std::fflush(stderr);
}

void Trace::Box(const std::string& caption, bool up) {
  if (!enabled_) return;
  if (up)
    std::fprintf(stderr, "solka: box: %s\n", caption.c_str());
  else
    std::fprintf(stderr, "solka: box closed\n");
  std::fflush(stderr);
}

void Trace::Control(const std::string& name, int x, int y, int width, int height) {
  if (!enabled_) return;
  std::fprintf(stderr, "solka: control: %s %d %d %d %d\n", name.c_str(), x, y, width, height);
  std::fflush(stderr);
}

void Trace::State(const std::string& name, const std::string& value) {
  if (!enabled_) return;
  const auto [at, added] = states_.try_emplace(name, value);
  if (!added && at->second == value) return;
  at->second = value;
  std::fprintf(stderr, "solka: %s: %s\n", name.c_str(), value.c_str());
  std::fflush(stderr);
}

}  // namespace solka
