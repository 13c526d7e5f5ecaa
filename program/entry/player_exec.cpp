#include "program/entry/player_exec.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace solka {

namespace {

// The front's own path, and the descriptor of the lock it passes on ("none": the front plays
// without a lock, as it has already said).
constexpr const char* kFrontProgramVariable = "SOLKA_FRONT_PROGRAM";
constexpr const char* kFrontLockVariable = "SOLKA_FRONT_LOCK";
constexpr const char* kPlayerName = "solka-player";

// Reads and removes a variable; empty when it is not set.
std::string TakeVariable(const char* name) {
  const char* value = std::getenv(name);
  std::string taken = value ? value : "";
  ::unsetenv(name);
  return taken;
}

}  // namespace

std::string ExecPlayer(char** argv, const InstanceRole& role) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "/proc/self/exe: " + error.message();
  ::setenv(kFrontProgramVariable, self.c_str(), 1);
  const int lock = role.lock ? PosixInterProcess::KeepAcrossExec(*role.lock) : -1;
  if (lock >= 0 || !role.lock)
    ::setenv(kFrontLockVariable, role.lock ? std::to_string(lock).c_str() : "none", 1);
  std::string why;
  const std::filesystem::path folder = self.parent_path();
  for (const std::filesystem::path& player :
       {folder / kPlayerName,
        (folder / SOLKA_PLAYER_FROM_BINDIR / kPlayerName).lexically_normal()}) {
    ::execv(player.c_str(), argv);
    why += (why.empty() ? "" : "; ") + player.string() + ": " + std::strerror(errno);
  }
  return why;
}

std::optional<InstanceRole> RoleFromFront(PosixInterProcess& ipc, std::string& frontProgram) {
  frontProgram = TakeVariable(kFrontProgramVariable);
  // Listed under the name the user started (ps, top, killall), not the player program's; set
  // before any thread starts, so that they inherit it.
  if (!frontProgram.empty())
    ::prctl(PR_SET_NAME, std::filesystem::path(frontProgram).filename().c_str(), 0, 0, 0);
  const std::string lock = TakeVariable(kFrontLockVariable);
  if (lock.empty()) return std::nullopt;
  InstanceRole role;
  role.player = true;
  if (lock == "none") return role;
  char* end = nullptr;
  const long fd = std::strtol(lock.c_str(), &end, 10);
  if (end == lock.c_str() || *end != '\0' || fd < 0 || fd > 65535) return std::nullopt;
  LockResult adopted = ipc.AdoptLock(std::string(kInstanceLockName), static_cast<int>(fd));
  if (adopted.state != LockState::Acquired) {
    std::fprintf(stderr, "solka: the front's lock is not usable here (%s)\n",
                 adopted.error.c_str());
    return std::nullopt;
  }
  role.lock = std::move(adopted.lock);
  return role;
}

}  // namespace solka
