// The text a list row shows for a play-list entry.
#pragma once

#include <string>

#include "platform/api/files.h"

namespace solka {

// The part after the last delimiter, without everything from its last "." on:
// "/Music/Song.mp3" -> "Song", "a.b.c.mp3" -> "a.b.c", "/Music/" -> "".
std::string DisplayName(const std::string& entry, const PathSyntax& syntax);

}  // namespace solka
