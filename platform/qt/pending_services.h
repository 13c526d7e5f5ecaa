// GAP, to be removed: stand-ins for the shell and power services until their POSIX versions
// land. They refuse politely on stderr instead of doing anything.
#pragma once

#include <cstdio>

#include "platform/api/desktop.h"

namespace solka {

class PendingShell : public Shell {
 public:
  void Open(const std::string& target) override {
    std::fprintf(stderr, "solka: cannot open yet: %s\n", target.c_str());
  }
  void Start(const std::string& program, const std::vector<std::string>&) override {
    std::fprintf(stderr, "solka: cannot start yet: %s\n", program.c_str());
  }
};

class PendingPower : public Power {
 public:
  void PowerOff() override { Refuse("power off"); }
  void Suspend() override { Refuse("suspend"); }
  void Hibernate() override { Refuse("hibernate"); }
  void MonitorPower(int) override { Refuse("monitor power"); }

 private:
  static void Refuse(const char* what) { std::fprintf(stderr, "solka: cannot %s yet\n", what); }
};

}  // namespace solka
