#include "app/command_line.h"

#include "app/tdodedev.h"

namespace solka {

namespace {

constexpr const char* kUsage =
    "Usage: solka [PATH]\n"
    "Plays PATH (a folder, a drive, an audio file or an M3U list) from start to end, hidden in\n"
    "the notification area.\n"
    "While a player runs, a later start hands PATH to it and ends: a folder or list replaces\n"
    "its list, a file plays from its folder's list, ZZZ_NEXT_PLAY skips to its next track, and\n"
    "no PATH brings it to the front.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  -V, --version  print the version and exit\n"
    "\n"
    "Name a file that begins with \"-\" as ./-name.\n";

}  // namespace

std::optional<OptionAnswer> AnswerOption(const std::string& argument, bool exists) {
  if (argument == "--help" || argument == "-h") return OptionAnswer{0, kUsage, {}};
  if (argument == "--version" || argument == "-V")
    return OptionAnswer{0, TDODEDEV::VersionText + "\n", {}};
  if (argument.empty() || argument.front() != '-' || exists) return std::nullopt;
  return OptionAnswer{2, {}, "unknown option " + argument + " (solka --help lists the options)"};
}

}  // namespace solka
