// The mounted file systems as the kernel lists them for this process, and which one holds a path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace solka {

struct Mount {
  std::string mountPoint;  // absolute, escapes decoded, no trailing '/' except for "/"
  std::string fsType;
  unsigned major = 0, minor = 0;
};

// Parses the text of /proc/self/mountinfo; malformed lines are skipped.
std::vector<Mount> ParseMountInfo(std::string_view text);

// The mount whose mount point is the longest whole-component prefix of the absolute `path`; the
// later entry wins between equal mount points, as it hides the earlier one. Null when none.
const Mount* MountHolding(const std::vector<Mount>& mounts, std::string_view path);

}  // namespace solka
