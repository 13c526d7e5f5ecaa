#include "playlist/display_name.h"

namespace solka {

std::string DisplayName(const std::string& entry, const PathSyntax& syntax) {
  std::size_t begin = entry.size();
  while (begin > 0 && !syntax.IsDelimiter(entry[begin - 1])) --begin;
  std::size_t end = entry.rfind('.');
  if (end == std::string::npos || end < begin) end = entry.size();
  return entry.substr(begin, end - begin);
}

}  // namespace solka
