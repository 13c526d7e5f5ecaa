// The [SETTING] entries as the texts the file holds. They stay texts: a file may hold any other
// text for a key, and the player keeps what it does not understand. The entries are fixed in
// number, so a key always has its entry.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "settings/keys.h"

namespace solka {

class SettingTexts {
 public:
  const std::string& operator[](Key key) const { return texts_[key]; }
  bool Is(Key key, std::string_view value) const { return texts_[key] == value; }
  void Set(Key key, std::string value) { texts_[key] = std::move(value); }
  // Every entry empty, as before the file is read.
  void Clear() { texts_ = {}; }

 private:
  std::array<std::string, kSettingsCount> texts_;
};

}  // namespace solka
