#include "settings/options.h"

#include "settings/ini_file.h"

namespace solka {

PlayerOptions ReadOptions(const IniFile& ini) {
  const auto value = [&](std::string_view key, const char* otherwise) {
    return ini.ReadString(kOptionsSection, key, otherwise);
  };
  PlayerOptions options;
  // Unattended playback must survive a damaged file or a list entry that is gone; "0" halts the
  // run on the first track that cannot start.
  options.skipUnplayable = value("SkipUnplayable", "1") != "0";
  // No list this player writes holds comments or relative entries, so reading them as the
  // standard form does changes no stored list; "0" keeps every line as written.
  options.extendedLists = value("ExtendedLists", "1") != "0";
  return options;
}

}  // namespace solka
