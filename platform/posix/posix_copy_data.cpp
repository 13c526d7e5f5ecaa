#include "platform/posix/posix_copy_data.h"

#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/posix/copy_data_frame.h"
#include "platform/posix/copy_data_listener.h"
#include "platform/posix/posix_fd.h"

namespace solka {

namespace {

using SteadyClock = std::chrono::steady_clock;

class FlockLock : public InstanceLock {
 public:
  explicit FlockLock(Fd fd) : fd_(std::move(fd)) {}
  int Descriptor() const { return fd_.get(); }

 private:
  Fd fd_;  // closing it releases the lock
};

constexpr std::size_t kLongestName = 64;

// A class or lock name becomes one file name in the folder, nothing else.
bool UsableName(const std::string& name) {
  return !name.empty() && name.size() <= kLongestName && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

int MillisecondsLeft(SteadyClock::time_point deadline) {
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for `events` on `fd` until the deadline; false on time-out or failure.
bool WaitFor(int fd, short events, SteadyClock::time_point deadline) {
  for (;;) {
    pollfd polled{fd, events, 0};
    const int ready = ::poll(&polled, 1, MillisecondsLeft(deadline));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

bool SendAll(int fd, std::string_view bytes, SteadyClock::time_point deadline) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!WaitFor(fd, POLLOUT, deadline)) return false;
    } else if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

bool ReceiveAll(int fd, char* into, std::size_t size, SteadyClock::time_point deadline) {
  std::size_t have = 0;
  while (have < size) {
    const ssize_t got = ::recv(fd, into + have, size - have, 0);
    if (got > 0) {
      have += static_cast<std::size_t>(got);
    } else if (got == 0) {
      return false;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!WaitFor(fd, POLLIN, deadline)) return false;
    } else if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

// The holder of a lock file writes its process id there, for later starts to tell a live
// holder from something that kept the lock after the player died.
void RecordHolder(int fd) {
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0) {
    [[maybe_unused]] const ssize_t written = ::pwrite(fd, pid.data(), pid.size(), 0);
  }
}

// Whether the process recorded in the lock file is gone. A file without one was locked by
// something that is no player (the player records itself right after locking, long before a
// later start asks).
bool HolderGone(int fd) {
  char text[24] = {};
  const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
  if (got <= 0) return true;
  char* end = nullptr;
  const long pid = std::strtol(text, &end, 10);
  if (pid <= 0 || end == text || *end != '\n') return true;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

sockaddr_un AddressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

}  // namespace

std::vector<std::string> DefaultCopyDataFolders() {
  std::vector<std::string> folders;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/') {
    std::string folder = runtime;
    if (folder.back() != '/') folder += '/';
    folders.push_back(folder + "solka/");
  }
  folders.push_back("/tmp/solka-" + std::to_string(::geteuid()) + "/");
  return folders;
}

PosixInterProcess::PosixInterProcess(std::vector<std::string> folders, PostToGui post)
    : folders_(std::move(folders)), post_(std::move(post)) {
  for (std::string& folder : folders_)
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
}

std::string PosixInterProcess::Prepare(const std::string& folder, std::string& error) {
  // Every usable name must still fit a socket address below it.
  if (folder.size() + 1 + kLongestName >= sizeof(sockaddr_un::sun_path)) {
    error = folder + ": too long a path for sockets";
    return {};
  }
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    error = folder + ": " + std::strerror(errno);
    return {};
  }
  // Opened without following a link, so the checks below are about the folder itself.
  const Fd fd(OpenNoInterrupt(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat st {};
  if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
    error = folder + ": not a folder of this user";
    return {};
  }
  if ((st.st_mode & 077) != 0 && ::fchmod(fd.get(), 0700) != 0) {
    error = folder + ": cannot be made private";
    return {};
  }
  if (::faccessat(fd.get(), ".", W_OK | X_OK, AT_EACCESS) != 0) {
    error = folder + ": " + std::strerror(errno);
    return {};
  }
  return folder + "/";
}

std::string PosixInterProcess::ReadyFolder(std::string& error) {
  // Once one is in use it stays: the locks and endpoints of this run are there.
  if (chosen_) return Prepare(folders_[*chosen_], error);
  std::string reasons;
  for (std::size_t i = 0; i < folders_.size(); ++i) {
    std::string why;
    std::string ready = Prepare(folders_[i], why);
    if (!ready.empty()) {
      chosen_ = i;
      return ready;
    }
    reasons += (reasons.empty() ? "" : "; ") + why;
  }
  error = reasons.empty() ? "no folder for it" : reasons;
  return {};
}

std::string PosixInterProcess::PathOf(const std::string& name, const char* what,
                                      std::string& error) {
  if (!UsableName(name)) {
    error = std::string("unusable ") + what + " name";
    return {};
  }
  const std::string folder = ReadyFolder(error);
  return folder.empty() ? folder : folder + name;
}

LockResult PosixInterProcess::TryLock(const std::string& name) {
  LockResult result;
  const std::string files = PathOf(name, "lock", result.error);
  if (files.empty()) return result;
  const std::string path = files + ".lock";
  // A lock file replaced by a take-over while we opened it is opened again.
  for (int attempt = 0; attempt < 8; ++attempt) {
    Fd fd(OpenNoInterrupt(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd) {
      result.error = path + ": " + std::strerror(errno);
      return result;
    }
    struct stat opened {};
    ::fstat(fd.get(), &opened);
    int locked;
    do locked = ::flock(fd.get(), LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0 && errno != EWOULDBLOCK) {
      result.error = path + ": " + std::strerror(errno);
      return result;
    }
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0 || named.st_ino != opened.st_ino) continue;
    if (locked == 0) {
      RecordHolder(fd.get());
      result.state = LockState::Acquired;
      result.lock = std::make_unique<FlockLock>(std::move(fd));
    } else {
      result.state = LockState::HeldElsewhere;
      result.holder = opened.st_ino;
      result.holderGone = HolderGone(fd.get());
    }
    return result;
  }
  result.error = path + ": replaced over and over";
  return result;
}

LockResult PosixInterProcess::TakeOverLock(const std::string& name, std::uint64_t holder) {
  LockResult result;
  const std::string files = PathOf(name, "lock", result.error);
  if (files.empty()) return result;
  // Take-overs one at a time: each checks that the holder it judged still holds the lock.
  const std::string guardPath = files + ".takeover";
  const Fd guard(
      OpenNoInterrupt(guardPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
  const auto giveUp = SteadyClock::now() + std::chrono::seconds(1);
  while (guard && ::flock(guard.get(), LOCK_EX | LOCK_NB) != 0) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || SteadyClock::now() >= giveUp) {
      result.error = guardPath + ": cannot be had";
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!guard) {
    result.error = guardPath + ": " + std::strerror(errno);
    return result;
  }
  const std::string path = files + ".lock";
  struct stat current {};
  if (::stat(path.c_str(), &current) == 0 && current.st_ino != holder) {
    result.state = LockState::HeldElsewhere;
    result.holder = current.st_ino;
    return result;
  }
  // A fresh file, locked before it takes the name: nobody can find it unlocked.
  const std::string fresh = path + ".new";
  ::unlink(fresh.c_str());
  Fd fd(OpenNoInterrupt(fresh.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (fd) RecordHolder(fd.get());
  if (!fd || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 ||
      ::rename(fresh.c_str(), path.c_str()) != 0) {
    result.error = path + ": " + std::strerror(errno);
    ::unlink(fresh.c_str());
    return result;
  }
  result.state = LockState::Acquired;
  result.lock = std::make_unique<FlockLock>(std::move(fd));
  return result;
}

int PosixInterProcess::KeepAcrossExec(const InstanceLock& lock) {
  const auto* held = dynamic_cast<const FlockLock*>(&lock);
  if (!held || ::fcntl(held->Descriptor(), F_SETFD, 0) != 0) return -1;
  return held->Descriptor();
}

LockResult PosixInterProcess::AdoptLock(const std::string& name, int fd) {
  LockResult result;
  const std::string files = PathOf(name, "lock", result.error);
  if (files.empty()) return result;
  const std::string path = files + ".lock";
  result.error = path + ": not held by the descriptor passed on";
  // Only the lock file itself is closed when it does not hold the lock: any other descriptor
  // is not this code's to close.
  struct stat opened {
  }, named{};
  if (fd < 0 || ::fstat(fd, &opened) != 0 || ::stat(path.c_str(), &named) != 0 ||
      opened.st_ino != named.st_ino || opened.st_dev != named.st_dev)
    return result;
  Fd passed(fd);
  // flock only converts a lock this open file already holds; one held through another refuses.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) return result;
  result.error.clear();
  result.state = LockState::Acquired;
  result.lock = std::make_unique<FlockLock>(std::move(passed));
  return result;
}

std::unique_ptr<CopyDataEndpoint> PosixInterProcess::Listen(const std::string& windowClass,
                                                            CopyDataCheck check,
                                                            CopyDataHandler handler) {
  std::string error;
  const std::string path = PathOf(windowClass, "endpoint", error);
  if (path.empty()) return nullptr;
  Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) return nullptr;
  // The lock holder owns the name: a socket left behind by a player that died (or a stranger's)
  // goes, anything else is moved aside, as it may hold something of the user's.
  if (::unlink(path.c_str()) != 0 && errno != ENOENT &&
      ::rename(path.c_str(), (path + ".moved-" + std::to_string(::getpid())).c_str()) != 0)
    return nullptr;
  const sockaddr_un address = AddressOf(path);
  struct stat st {};
  if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd.get(), SOMAXCONN) != 0 || ::lstat(path.c_str(), &st) != 0)
    return nullptr;
  auto listener = std::make_unique<CopyDataListener>(fd.release(), path, st.st_ino,
                                                     std::move(check), std::move(handler), post_);
  if (!listener->Serving()) return nullptr;
  return listener;
}

SendResult PosixInterProcess::Send(const std::string& windowClass, const CopyData& frame,
                                   int timeoutMs) {
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
  SendResult result;
  result.status = SendStatus::Refused;
  if (frame.bytes.size() > kMaxCopyDataBytes) {
    result.error = std::to_string(frame.bytes.size()) + " bytes, more than the " +
                   std::to_string(kMaxCopyDataBytes) + " a message may hold";
    return result;
  }
  const std::string path = PathOf(windowClass, "endpoint", result.error);
  if (path.empty()) return result;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) {
    result.status = SendStatus::NoEndpoint;
    return result;
  }
  const Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) {
    result.error = std::string("no socket: ") + std::strerror(errno);
    return result;
  }
  result.status = SendStatus::Failed;
  const auto noAnswer = [&result, timeoutMs] {
    result.error = "no answer within " + std::to_string(timeoutMs) + " ms";
    return result;
  };
  const sockaddr_un address = AddressOf(path);
  for (;;) {
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
      break;
    if (errno == ECONNREFUSED || errno == ENOENT) {
      result.status = SendStatus::NoEndpoint;
      return result;
    }
    // A full queue of a live endpoint: try again shortly.
    if (errno != EAGAIN && errno != EINTR) {
      result.error = std::string("cannot connect: ") + std::strerror(errno);
      return result;
    }
    if (MillisecondsLeft(deadline) == 0) return noAnswer();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!PeerIsSameUser(fd.get())) {
    result.error = "the endpoint belongs to another user";
    return result;
  }
  char answer[4];
  if (!SendAll(fd.get(), EncodeFrame(frame), deadline) ||
      !ReceiveAll(fd.get(), answer, sizeof answer, deadline)) {
    if (MillisecondsLeft(deadline) == 0) return noAnswer();
    result.error = "closed without answering";
    return result;
  }
  result.status = SendStatus::Answered;
  result.error.clear();
  result.result = DecodeLe32(std::string_view(answer, sizeof answer));
  return result;
}

}  // namespace solka
