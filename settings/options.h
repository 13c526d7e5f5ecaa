// Section [OPTIONS] of the settings file: behaviour beyond the design that the user opts into
// by hand. Each is off unless its value is exactly "1"; the player never writes them.
#pragma once

#include <string_view>

namespace solka {

class IniFile;

struct PlayerOptions {
  // A track that cannot be started during a continuous run is passed over; the run halts only
  // after a whole pass of failures in a row.
  bool skipUnplayable = false;
  // List files: lines starting with "#" and empty lines are comments, and relative entries
  // are resolved against the list file's folder.
  bool extendedLists = false;
};

constexpr std::string_view kOptionsSection = "OPTIONS";

PlayerOptions ReadOptions(const IniFile& ini);

}  // namespace solka
