// Section [OPTIONS] of the settings file: behaviour beyond the design that the user sets by
// hand; the player never writes them.
#pragma once

#include <string_view>

namespace solka {

class IniFile;

struct PlayerOptions {
  // A track that cannot be started during a continuous run is passed over; the run halts only
  // after a whole pass of failures in a row. On unless exactly "0".
  bool skipUnplayable = true;
  // List files: lines starting with "#" and empty lines are comments, and relative entries
  // are resolved against the list file's folder. On unless exactly "0".
  bool extendedLists = true;
};

constexpr std::string_view kOptionsSection = "OPTIONS";

PlayerOptions ReadOptions(const IniFile& ini);

}  // namespace solka
