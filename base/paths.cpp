#include "base/paths.h"

#include "base/text.h"

namespace solka {

namespace {
std::size_t LastDelimiter(std::string_view path, const PathSyntax& syntax) {
  return path.find_last_of(syntax.delimiters);
}
}  // namespace

std::string FolderWithDelimiter(std::string_view path, const PathSyntax& syntax) {
  const std::size_t last = LastDelimiter(path, syntax);
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string FolderOf(std::string_view path, const PathSyntax& syntax) {
  const std::size_t last = LastDelimiter(path, syntax);
  if (last == std::string_view::npos) return {};
  const std::string_view folder = path.substr(0, last);
  // A root keeps its delimiter: "/" or, where drives have letters, "C:\".
  if (folder.empty() || syntax.IsDelimiter(folder.back()))
    return std::string(path.substr(0, last + 1));
  return std::string(folder);
}

std::string WithDelimiter(std::string_view folder, const PathSyntax& syntax) {
  std::string result(folder);
  if (result.empty() || !syntax.IsDelimiter(result.back())) result += syntax.separator;
  return result;
}

bool IsHiddenName(std::string_view name, const PathSyntax& syntax) {
  return syntax.dotNamesHidden && name.starts_with('.');
}

bool SamePath(std::string_view a, std::string_view b, const PathSyntax& syntax) {
  return syntax.namesIgnoreCase ? EqualsNoCase(a, b) : a == b;
}

bool FitsPathLimit(std::string_view text, const PathSyntax& syntax) {
  if (text.size() < syntax.maxPath || !syntax.maxPathInUtf16Units)
    return text.size() < syntax.maxPath;
  // A UTF-8 lead byte starts one unit, a four-byte one (a pair of surrogates) two.
  std::size_t units = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    units += (byte & 0xC0) != 0x80;
    units += byte >= 0xF0;
    if (units >= syntax.maxPath) return false;
  }
  return true;
}

}  // namespace solka
