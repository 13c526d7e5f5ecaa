// The program's log file: diagnostics lines appended to a file that stays within its limit,
// so that a player left running for months never fills the disk; when a line would pass the
// limit, the older half of the file goes first.
#pragma once

#include <cstdint>
#include <string>

namespace solka {

// Appends `text` (whole lines) to the file at `path`, creating it and its folder as needed.
// False when the file cannot be written; there is nowhere left to report that.
bool AppendToLog(const std::string& path, const std::string& text, std::uint64_t limit);

}  // namespace solka
