// The power back end of the program: the dry run when SOLKA_POWER=dry-run asks for it, else the
// login manager for the machine and the X server's DPMS for the monitor.
#pragma once

#include <memory>

#include "platform/api/desktop.h"

namespace solka {

std::unique_ptr<Power> CreateSystemPower();

}  // namespace solka
