// SOLKA_POWER=dry-run: every power action writes one line to stderr ("solka: power: power-off",
// "suspend", "hibernate" or "monitor-off") and does nothing else. The idle lock is not taken,
// so a dry run touches no system service at all.
#pragma once

#include "platform/api/desktop.h"

namespace solka {

// True when the environment asks for the dry run.
bool PowerDryRunRequested();

class DryRunPower : public Power {
 public:
  void PowerOff() override;
  void Suspend() override;
  void Hibernate() override;
  void MonitorOff() override;
  void HoldIdleLock(bool) override {}
};

}  // namespace solka
