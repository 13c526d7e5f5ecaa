#include "platform/posix/dry_run_power.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace solka {

namespace {
void Say(const char* action) {
  std::fprintf(stderr, "solka: power: %s\n", action);
  std::fflush(stderr);
}
}  // namespace

bool PowerDryRunRequested() {
  const char* mode = std::getenv("SOLKA_POWER");
  return mode && std::string_view(mode) == "dry-run";
}

void DryRunPower::PowerOff() {
  Say("power-off");
}
void DryRunPower::Suspend() {
  Say("suspend");
}
void DryRunPower::Hibernate() {
  Say("hibernate");
}
void DryRunPower::MonitorOff() {
  Say("monitor-off");
}

}  // namespace solka
