// List files in their extended form (option ExtendedLists, on unless switched off): lines
// starting with "#" and empty lines are comments, and a relative entry names a file relative to
// the list file's folder.
#pragma once

#include <string>
#include <vector>

#include "platform/api/diagnostics.h"
#include "platform/api/files.h"
#include "platform/api/text_codec.h"
#include "playlist/list_file.h"

namespace solka {

// The entries among the `lines` of the list file at `listPath`, in their order.
std::vector<std::string> ExtendedListEntries(const std::vector<std::string>& lines,
                                             const std::string& listPath, const PathSyntax& syntax);

// Reads the list file at `path` into the entries it names: in the extended form when
// `extended`, else every line as written. Every reader of list files goes through here. Lines
// too long to be a path are left out, with one line for all of them on `diagnostics`.
ListFileRead ReadListEntries(FileSystem& files, const TextCodec& codec, Diagnostics& diagnostics,
                             const std::string& path, bool extended);

}  // namespace solka
