#include "platform/posix/posix_shell.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/posix/spawn.h"

namespace solka {

namespace {

constexpr std::string_view kDriveOverview = "computer:///";

// Only some file managers know the drive overview; elsewhere the root is the nearest thing.
std::string DriveOverview() {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  const std::string_view name = desktop ? desktop : "";
  for (std::string_view known : {"GNOME", "Unity", "Cinnamon", "MATE", "Budgie", "Pantheon"})
    if (name.find(known) != std::string_view::npos) return std::string(kDriveOverview);
  return "/";
}

void Report(const std::string& error) {
  if (!error.empty()) std::fprintf(stderr, "solka: cannot start %s\n", error.c_str());
}

}  // namespace

void PosixShell::Open(const std::string& target) {
  if (target.empty()) return;
  if (target == kDriveOverview) {
    Report(SpawnDetached("xdg-open", {DriveOverview()}));
    return;
  }
  // A path is taken as a path, never as an option of the opener.
  const std::string safe = target.front() == '-' ? "./" + target : target;
  if (IsExecutableFile(target))
    Report(SpawnDetached(target.find('/') == std::string::npos ? "./" + target : target, {}));
  else
    Report(SpawnDetached("xdg-open", {safe}));
}

void PosixShell::Start(const std::string& program, const std::vector<std::string>& arguments,
                       bool) {
  Report(SpawnDetached(program, arguments));
}

}  // namespace solka
