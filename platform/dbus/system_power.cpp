#include "platform/dbus/system_power.h"

#include <cstdio>
#include <string>

#include "platform/dbus/logind_power.h"
#include "platform/posix/dry_run_power.h"
#include "platform/x11/dpms.h"

namespace solka {

std::unique_ptr<Power> CreateSystemPower() {
  if (PowerDryRunRequested()) return std::make_unique<DryRunPower>();
  return std::make_unique<LogindPower>([] {
    const std::string why = X11MonitorOff();
    if (!why.empty()) std::fprintf(stderr, "solka: power: monitor-off: %s\n", why.c_str());
  });
}

}  // namespace solka
