#include "playlist/extended_list.h"

#include "base/paths.h"

namespace solka {

namespace {

bool IsBlank(const std::string& line) {
  return line.find_first_not_of(" \t") == std::string::npos;
}

// Starts at a root ("/music", "\music"), a drive ("C:music") or is a URL ("http://..."):
// nothing to resolve.
bool IsAnchored(const std::string& entry, const PathSyntax& syntax) {
  if (syntax.IsDelimiter(entry[0])) return true;
  if (syntax.IsDelimiter(':') && entry.size() >= 2 && entry[1] == ':') return true;
  return entry.find("://") != std::string::npos;
}

}  // namespace

std::vector<std::string> ExtendedListEntries(const std::vector<std::string>& lines,
                                             const std::string& listPath,
                                             const PathSyntax& syntax) {
  // A list given by a relative path leaves its entries relative to the same folder.
  const std::string folder = FolderWithDelimiter(listPath, syntax);
  std::vector<std::string> entries;
  entries.reserve(lines.size());
  for (const std::string& line : lines) {
    if (IsBlank(line) || line[0] == '#') continue;
    if (IsAnchored(line, syntax)) {
      entries.push_back(line);
      continue;
    }
    // "./a.mp3" names the same file as "a.mp3"; the list shows it without the detour.
    std::size_t start = 0;
    while (line.size() > start + 2 && line[start] == '.' && syntax.IsDelimiter(line[start + 1]))
      start += 2;
    entries.push_back(folder + line.substr(start));
  }
  return entries;
}

ListFileRead ReadListEntries(FileSystem& files, const TextCodec& codec, Diagnostics& diagnostics,
                             const std::string& path, bool extended) {
  ListFileRead read = ReadListFile(files, codec, path);
  if (read.ok && extended) {
    const PathSyntax syntax = files.Syntax();
    read.lines = ExtendedListEntries(read.lines, path, syntax);
    // A relative entry grows by the list's folder.
    read.skipped += std::erase_if(
        read.lines, [&syntax](const std::string& entry) { return !FitsPathLimit(entry, syntax); });
  }
  if (read.skipped > 0)
    diagnostics.Warn("list \"" + path + "\": " + std::to_string(read.skipped) +
                     (read.skipped == 1 ? " line" : " lines") +
                     " skipped, longer than any path can be");
  return read;
}

}  // namespace solka
