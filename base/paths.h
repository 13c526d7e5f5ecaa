// Splitting and joining paths in the platform's own syntax.
#pragma once

#include <string>
#include <string_view>

#include "platform/api/files.h"

namespace solka {

// Everything up to and including the last delimiter ("/music/a.mp3" -> "/music/"); empty when
// the path has none.
std::string FolderWithDelimiter(std::string_view path, const PathSyntax& syntax);

// The folder part without its final delimiter, except where that delimiter is the root itself
// ("/music/a.mp3" -> "/music", "/a.mp3" -> "/").
std::string FolderOf(std::string_view path, const PathSyntax& syntax);

// `folder` with the separator appended unless it already ends in a delimiter.
std::string WithDelimiter(std::string_view folder, const PathSyntax& syntax);

// Whether the entry `name` is hidden by the platform's naming convention. Folder walks pass
// such entries over; a hidden entry named by the user is still taken.
bool IsHiddenName(std::string_view name, const PathSyntax& syntax);

// Whether two paths name the same entry as the file system compares names.
bool SamePath(std::string_view a, std::string_view b, const PathSyntax& syntax);

// Whether a text is short enough to be a path here at all (longer ones are no path, whatever
// they hold).
bool FitsPathLimit(std::string_view text, const PathSyntax& syntax);

}  // namespace solka
