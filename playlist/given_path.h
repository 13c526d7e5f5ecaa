// What a path handed to the player names, decided one way for every entry point: the start-up
// argument, a hand-over (and the desktop's "open" request through it) and a drop.
#pragma once

#include <string>

#include "platform/api/files.h"

namespace solka {

enum class GivenKind : unsigned char { Folder, Track, List, Other };

struct GivenPath {
  GivenKind kind = GivenKind::Other;
  std::string extension;  // as written, dot included; empty for a folder
};

// A folder is whatever the file system says is one (a link to one included), whatever its name
// ("Best Of Vol. 2"). Anything else is judged by its extension, compared without regard to
// case: a track of a known type, a list file, or something the player does not take.
GivenPath ClassifyGivenPath(FileSystem& files, const std::string& path);

// Neither a folder nor a file: such a path loads nothing, and never stands for its parent folder.
bool NamesNothing(FileSystem& files, const std::string& path);
// The line that tells the user so.
std::string NamesNothingLine(const std::string& path);

}  // namespace solka
