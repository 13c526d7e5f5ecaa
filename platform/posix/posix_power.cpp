#include "platform/posix/posix_power.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/posix/spawn.h"

namespace solka {

namespace {

bool DryRun() {
  const char* mode = std::getenv("SOLKA_POWER");
  return mode && std::string_view(mode) == "dry-run";
}

void Run(const std::string& program, const std::vector<std::string>& arguments) {
  const std::string error = SpawnDetached(program, arguments);
  if (!error.empty()) std::fprintf(stderr, "solka: power: cannot start %s\n", error.c_str());
}

// Not interactive: the player runs unattended, so polkit decides without asking anyone.
void CallLogin(const std::string& method, std::string_view dryRunName) {
  if (DryRun()) {
    std::fprintf(stderr, "solka: power: %.*s\n", static_cast<int>(dryRunName.size()),
                 dryRunName.data());
    return;
  }
  Run("busctl", {"call", "org.freedesktop.login1", "/org/freedesktop/login1",
                 "org.freedesktop.login1.Manager", method, "b", "false"});
}

}  // namespace

void PosixPower::PowerOff() {
  CallLogin("PowerOff", "poweroff");
}
void PosixPower::Suspend() {
  CallLogin("Suspend", "suspend");
}
void PosixPower::Hibernate() {
  CallLogin("Hibernate", "hibernate");
}

void PosixPower::MonitorPower(int level) {
  if (level != 1 && level != 2) return;
  if (DryRun()) {
    std::fprintf(stderr, "solka: power: monitor %d\n", level);
    return;
  }
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return;  // no X server: nothing to put to sleep
  // Waited for, so that "off" cannot overtake the "standby" sent just before it.
  const std::string error =
      RunToEnd("xset", {"dpms", "force", level == 1 ? "standby" : "off"}, 2000);
  if (!error.empty()) std::fprintf(stderr, "solka: power: cannot run %s\n", error.c_str());
}

}  // namespace solka
