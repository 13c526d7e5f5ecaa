#include "platform/posix/posix_copy_data.h"

#include <poll.h>
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

 private:
  Fd fd_;  // closing it releases the lock
};

// A class or lock name becomes one file name in the folder, nothing else.
bool UsableName(const std::string& name) {
  return !name.empty() && name.size() <= 64 && name != "." && name != ".." &&
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

sockaddr_un AddressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

}  // namespace

std::string DefaultCopyDataFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/') {
    std::string folder = runtime;
    if (folder.back() != '/') folder += '/';
    return folder + "solka/";
  }
  return "/tmp/solka-" + std::to_string(::geteuid()) + "/";
}

PosixInterProcess::PosixInterProcess(std::string folder, PostToGui post)
    : folder_(std::move(folder)), post_(std::move(post)) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
}

std::string PosixInterProcess::ReadyFolder(std::string& error) {
  if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) {
    error = folder_ + ": " + std::strerror(errno);
    return {};
  }
  // Opened without following a link, so the checks below are about the folder itself.
  const Fd fd(OpenNoInterrupt(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat st {};
  if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
    error = folder_ + ": not a folder of this user";
    return {};
  }
  if ((st.st_mode & 077) != 0 && ::fchmod(fd.get(), 0700) != 0) {
    error = folder_ + ": cannot be made private";
    return {};
  }
  return folder_ + "/";
}

std::string PosixInterProcess::EndpointPath(const std::string& windowClass, std::string& error) {
  if (!UsableName(windowClass)) {
    error = "unusable endpoint name";
    return {};
  }
  const std::string folder = ReadyFolder(error);
  if (folder.empty()) return {};
  const std::string path = folder + windowClass;
  if (path.size() >= sizeof(sockaddr_un::sun_path)) {
    error = path + ": path too long for a socket";
    return {};
  }
  return path;
}

LockResult PosixInterProcess::TryLock(const std::string& name) {
  LockResult result;
  if (!UsableName(name)) {
    result.error = "unusable lock name";
    return result;
  }
  const std::string folder = ReadyFolder(result.error);
  if (folder.empty()) return result;
  const std::string path = folder + name + ".lock";
  Fd fd(OpenNoInterrupt(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd) {
    result.error = path + ": " + std::strerror(errno);
    return result;
  }
  int locked;
  do locked = ::flock(fd.get(), LOCK_EX | LOCK_NB);
  while (locked != 0 && errno == EINTR);
  if (locked == 0) {
    result.state = LockState::Acquired;
    result.lock = std::make_unique<FlockLock>(std::move(fd));
  } else if (errno == EWOULDBLOCK) {
    result.state = LockState::HeldElsewhere;
  } else {
    result.error = path + ": " + std::strerror(errno);
  }
  return result;
}

std::unique_ptr<CopyDataEndpoint> PosixInterProcess::Listen(const std::string& windowClass,
                                                            CopyDataHandler handler) {
  std::string error;
  const std::string path = EndpointPath(windowClass, error);
  if (path.empty()) return nullptr;
  Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) return nullptr;
  // Left behind by a player that died; the caller holds the lock, so no live one owns it.
  ::unlink(path.c_str());
  const sockaddr_un address = AddressOf(path);
  struct stat st {};
  if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd.get(), SOMAXCONN) != 0 || ::lstat(path.c_str(), &st) != 0)
    return nullptr;
  auto listener =
      std::make_unique<CopyDataListener>(fd.release(), path, st.st_ino, std::move(handler), post_);
  if (!listener->Serving()) return nullptr;
  return listener;
}

SendResult PosixInterProcess::Send(const std::string& windowClass, const CopyData& frame,
                                   int timeoutMs) {
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
  SendResult result;
  if (frame.bytes.size() > kMaxCopyDataBytes || !UsableName(windowClass)) return result;
  const std::string path = folder_ + "/" + windowClass;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode) ||
      path.size() >= sizeof(sockaddr_un::sun_path)) {
    result.status = SendStatus::NoEndpoint;
    return result;
  }
  const Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) return result;
  const sockaddr_un address = AddressOf(path);
  for (;;) {
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
      break;
    if (errno == ECONNREFUSED || errno == ENOENT) {
      result.status = SendStatus::NoEndpoint;
      return result;
    }
    // A full queue of a live endpoint: try again shortly.
    if ((errno != EAGAIN && errno != EINTR) || MillisecondsLeft(deadline) == 0) return result;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!PeerIsSameUser(fd.get())) return result;
  char answer[4];
  if (!SendAll(fd.get(), EncodeFrame(frame), deadline) ||
      !ReceiveAll(fd.get(), answer, sizeof answer, deadline))
    return result;
  result.status = SendStatus::Answered;
  result.result = DecodeLe32(std::string_view(answer, sizeof answer));
  return result;
}

}  // namespace solka
