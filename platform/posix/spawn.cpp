#include "platform/posix/spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace solka {

namespace {

// Runs in the grandchild, between fork and exec: async-signal-safe calls only.
[[noreturn]] void ExecOrReport(const char* path, char* const* argv, int reportFd) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  signal(SIGPIPE, SIG_DFL);  // the player ignores it; the program need not
  const int devNull = open("/dev/null", O_RDONLY);
  if (devNull > 0) {
    dup2(devNull, STDIN_FILENO);
    close(devNull);
  }
  // The single-instance lock and sockets must not outlive the player in someone else's hands.
  const auto report = static_cast<unsigned>(reportFd);
  if ((report > 3 && close_range(3, report - 1, 0) != 0) || close_range(report + 1, ~0U, 0) != 0)
    for (int fd = 3; fd < 4096; ++fd)
      if (fd != reportFd) close(fd);
  execve(path, argv, environ);
  const int error = errno;
  [[maybe_unused]] ssize_t written = write(reportFd, &error, sizeof error);
  _exit(127);
}

}  // namespace

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string FindProgram(const std::string& program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : "";
  const char* path = std::getenv("PATH");
  std::string folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    const std::string candidate = folder + "/" + program;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

namespace {

// The program's argument vector; built before fork, since after it only async-signal-safe
// calls may run.
class ArgumentVector {
 public:
  ArgumentVector(const std::string& program, const std::vector<std::string>& arguments) {
    texts_.push_back(program);
    texts_.insert(texts_.end(), arguments.begin(), arguments.end());
    for (std::string& text : texts_) pointers_.push_back(text.data());
    pointers_.push_back(nullptr);
  }
  char* const* Get() { return pointers_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<char*> pointers_;
};

void WaitFor(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

// Reads what the exec side reported: nothing when the program was executed (the write end
// closes on exec), else the reason.
std::string ExecResult(int readFd, const std::string& program) {
  int error = 0;
  ssize_t got;
  do {
    got = read(readFd, &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  close(readFd);
  if (got == static_cast<ssize_t>(sizeof error)) return program + ": " + std::strerror(error);
  return {};
}

// Forks; the child runs `inChild` (which never returns). The parent gets the child's id and
// the read end of the report pipe, or the reason it could not fork.
template <typename ChildBody>
std::string ForkWithReport(pid_t& child, int& readFd, ChildBody inChild) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return std::strerror(errno);
  child = fork();
  if (child < 0) {
    const int error = errno;
    close(report[0]);
    close(report[1]);
    return std::strerror(error);
  }
  if (child == 0) {
    close(report[0]);
    inChild(report[1]);
  }
  close(report[1]);
  readFd = report[0];
  return {};
}

}  // namespace

std::string SpawnDetached(const std::string& program, const std::vector<std::string>& arguments) {
  const std::string path = FindProgram(program);
  if (path.empty()) return program + ": " + std::strerror(ENOENT);
  ArgumentVector argv(program, arguments);
  pid_t child = 0;
  int readFd = -1;
  const std::string error = ForkWithReport(child, readFd, [&](int reportFd) {
    // The intermediate child leaves at once, so the program is adopted by init and reaped
    // there, and its own session keeps it alive when the player's terminal goes away.
    setsid();
    const pid_t grandchild = fork();
    if (grandchild == 0) ExecOrReport(path.c_str(), argv.Get(), reportFd);
    if (grandchild < 0) {
      const int forkError = errno;
      [[maybe_unused]] ssize_t written = write(reportFd, &forkError, sizeof forkError);
    }
    _exit(0);
  });
  if (!error.empty()) return error;
  WaitFor(child);
  return ExecResult(readFd, program);
}

}  // namespace solka
