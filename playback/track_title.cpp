#include "playback/track_title.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

namespace solka {

std::string FileNameOf(const std::string& path, const PathSyntax& syntax) {
  for (std::size_t i = path.size(); i > 0; --i)
    if (syntax.IsDelimiter(path[i - 1])) return path.substr(i);
  return path;
}

std::string FolderNameOf(const std::string& path, const PathSyntax& syntax) {
  std::size_t end = path.size();
  while (end > 0 && !syntax.IsDelimiter(path[end - 1])) --end;
  if (end == 0) return {};
  --end;  // the delimiter before the file name
  std::size_t begin = end;
  while (begin > 0 && !syntax.IsDelimiter(path[begin - 1])) --begin;
  return path.substr(begin, end - begin);
}

std::string NameExtension(const std::string& path, const PathSyntax& syntax) {
  const std::string name = FileNameOf(path, syntax);
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string TrackTitle(const std::string& path, const PathSyntax& syntax) {
  std::string name = FileNameOf(path, syntax);
  const std::string ext = NameExtension(path, syntax);
  if (ext.empty()) return name;
  std::string title;
  std::size_t i = 0;
  while (i < name.size()) {
    if (i + ext.size() <= name.size() &&
        EqualsNoCase(std::string_view(name).substr(i, ext.size()), ext)) {
      i += ext.size();
    } else {
      title += name[i++];
    }
  }
  return title;
}

std::string FormatClock(double seconds) {
  // Whatever a back end reports, the conversion stays in range: no length is negative, and
  // none reaches a billion seconds.
  const double bounded = std::isfinite(seconds) ? std::clamp(seconds, 0.0, 1e9) : 0.0;
  const auto n = static_cast<long long>(bounded);
  auto two = [](long long v) { return v < 10 ? "0" + std::to_string(v) : std::to_string(v); };
  return two(n / 60) + ":" + two(n % 60);
}

}  // namespace solka
