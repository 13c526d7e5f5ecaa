#include "platform/posix/mount_table.h"

#include <charconv>

namespace solka {

namespace {

// The kernel writes space, tab, newline and backslash in paths as a backslash and three octal
// digits.
std::string DecodeOctalEscapes(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string_view digits = field.substr(i + 1, 3);
      bool octal = true;
      for (char c : digits) octal = octal && c >= '0' && c <= '7';
      if (octal) {
        out += static_cast<char>(((digits[0] - '0') << 6) | ((digits[1] - '0') << 3) |
                                 (digits[2] - '0'));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t start = line.find_first_not_of(' ', pos);
    if (start == std::string_view::npos) break;
    std::size_t end = line.find(' ', start);
    if (end == std::string_view::npos) end = line.size();
    fields.push_back(line.substr(start, end - start));
    pos = end;
  }
  return fields;
}

bool ParseDevice(std::string_view text, unsigned& major, unsigned& minor) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  const char* end = text.data() + text.size();
  auto a = std::from_chars(text.data(), text.data() + colon, major);
  auto b = std::from_chars(text.data() + colon + 1, end, minor);
  return a.ec == std::errc() && a.ptr == text.data() + colon && b.ec == std::errc() && b.ptr == end;
}

}  // namespace

std::vector<Mount> ParseMountInfo(std::string_view text) {
  std::vector<Mount> mounts;
  while (!text.empty()) {
    std::size_t newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    // id parent major:minor root mount-point options [optional...] - fstype source super-options
    const std::vector<std::string_view> fields = SplitFields(line);
    if (fields.size() < 7) continue;
    std::size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-") ++dash;
    if (dash + 1 >= fields.size()) continue;
    Mount mount;
    if (!ParseDevice(fields[2], mount.major, mount.minor)) continue;
    mount.mountPoint = DecodeOctalEscapes(fields[4]);
    if (mount.mountPoint.empty() || mount.mountPoint.front() != '/') continue;
    while (mount.mountPoint.size() > 1 && mount.mountPoint.back() == '/')
      mount.mountPoint.pop_back();
    mount.fsType = DecodeOctalEscapes(fields[dash + 1]);
    mounts.push_back(std::move(mount));
  }
  return mounts;
}

const Mount* MountHolding(const std::vector<Mount>& mounts, std::string_view path) {
  const Mount* best = nullptr;
  for (const Mount& mount : mounts) {
    const std::string& point = mount.mountPoint;
    const bool holds = point == "/" || (path.substr(0, point.size()) == point &&
                                        (path.size() == point.size() || path[point.size()] == '/'));
    if (holds && (!best || point.size() >= best->mountPoint.size())) best = &mount;
  }
  return best;
}

}  // namespace solka
