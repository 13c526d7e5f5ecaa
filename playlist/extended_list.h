// List files in their extended form (option ExtendedLists): lines starting with "#" and empty
// lines are comments, and a relative entry names a file relative to the list file's folder.
#pragma once

#include <string>
#include <vector>

#include "platform/api/files.h"

namespace solka {

// The entries among the `lines` of the list file at `listPath`, in their order.
std::vector<std::string> ExtendedListEntries(const std::vector<std::string>& lines,
                                             const std::string& listPath, const PathSyntax& syntax);

}  // namespace solka
