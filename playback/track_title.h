// Texts derived from a track's path: its title, folder name and extension, and clock texts.
#pragma once

#include <string>

#include "platform/api/files.h"

namespace solka {

// The file name with every occurrence of its extension removed, compared without regard to
// case ("Best.MP3 Mix.mp3" gives "Best Mix"); a name without extension is kept whole.
std::string TrackTitle(const std::string& path, const PathSyntax& syntax);
// The part after the last delimiter.
std::string FileNameOf(const std::string& path, const PathSyntax& syntax);
// The last component of the folder that holds the file; empty for a file in a root.
std::string FolderNameOf(const std::string& path, const PathSyntax& syntax);
// From the last "." of the file name on, dot included; empty when the name has none.
std::string NameExtension(const std::string& path, const PathSyntax& syntax);
// m:ss as the position display writes it: 00:09, 01:05, 100:00.
std::string FormatClock(double seconds);

}  // namespace solka
