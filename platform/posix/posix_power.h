// Power actions through the login manager, and the monitor's power saving on X11.
//
// With SOLKA_POWER=dry-run each action only writes one line to stderr ("solka: power: poweroff",
// "suspend", "hibernate", "monitor 1" for low power, "monitor 2" for off) and does nothing else.
#pragma once

#include "platform/api/desktop.h"

namespace solka {

class PosixPower : public Power {
 public:
  void PowerOff() override;
  void Suspend() override;
  void Hibernate() override;
  void MonitorPower(int level) override;
};

}  // namespace solka
