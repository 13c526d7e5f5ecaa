#include "settings/options.h"

#include "settings/ini_file.h"

namespace solka {

PlayerOptions ReadOptions(const IniFile& ini) {
  const auto on = [&](std::string_view key) {
    return ini.ReadString(kOptionsSection, key, "0") == "1";
  };
  PlayerOptions options;
  options.skipUnplayable = on("SkipUnplayable");
  options.extendedLists = on("ExtendedLists");
  return options;
}

}  // namespace solka
