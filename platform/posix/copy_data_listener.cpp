#include "platform/posix/copy_data_listener.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <vector>

#include "platform/posix/copy_data_frame.h"

namespace solka {

namespace {

using SteadyClock = std::chrono::steady_clock;

struct Connection {
  Fd fd;
  FrameReader reader;
  SteadyClock::time_point deadline;
};

// Reads what the frame still needs. False when the connection is done with: closed, failed,
// refused, or its frame complete (then `complete` is set).
bool ReadSome(Connection& connection, bool& complete) {
  char buffer[16384];
  const std::size_t want = std::min(connection.reader.Wanted(), sizeof buffer);
  const ssize_t got = ::recv(connection.fd.get(), buffer, want, 0);
  if (got < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
  if (got == 0) return false;
  connection.reader.Feed(std::string_view(buffer, static_cast<std::size_t>(got)));
  complete = connection.reader.Status() == FrameReader::State::Complete;
  return connection.reader.Status() == FrameReader::State::NeedMore;
}

}  // namespace

bool PeerIsSameUser(int socket) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
         peer.uid == ::geteuid();
}

CopyDataListener::CopyDataListener(int socket, std::string path, ino_t node, CopyDataCheck check,
                                   CopyDataHandler handler, PosixInterProcess::PostToGui post)
    : socket_(socket),
      path_(std::move(path)),
      node_(node),
      check_(std::move(check)),
      receiver_(std::make_shared<Receiver>(Receiver{std::move(handler), true})),
      post_(std::move(post)) {
  int pipe[2];
  if (::pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  wakeRead_ = Fd(pipe[0]);
  wakeWrite_ = Fd(pipe[1]);
  try {
    thread_ = std::thread([this] { Serve(); });
  } catch (const std::system_error&) {
    // No thread: Serving() says so and the caller gives the endpoint up.
  }
}

CopyDataListener::~CopyDataListener() {
  receiver_->alive = false;
  if (thread_.joinable()) {
    const char stop = 1;
    while (::write(wakeWrite_.get(), &stop, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
  }
  // Only our own socket file goes: never one that replaced it.
  struct stat st {};
  if (::lstat(path_.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_ino == node_)
    ::unlink(path_.c_str());
}

void CopyDataListener::Answer(int connection, CopyData frame) {
  const Fd fd(connection);
  const std::uint32_t answer = check_(frame);
  const std::string bytes = EncodeLe32(answer);
  // Four bytes always fit a fresh socket's buffer; a sender that gave up just misses them.
  ssize_t sent;
  do sent = ::send(fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  while (sent < 0 && errno == EINTR);
  if (answer != 0) return;
  post_([receiver = receiver_, frame = std::move(frame)] {
    if (receiver->alive) receiver->handler(frame);
  });
}

void CopyDataListener::Serve() {
  std::vector<Connection> connections;
  std::vector<pollfd> polled;
  // While the process has no descriptor to spare, accepting waits: polling a socket that cannot
  // be accepted from would return at once, for ever.
  SteadyClock::time_point acceptAgain{};
  int pauseMs = 0;
  // How many connections may be held: fewer after running out of descriptors, until the queue
  // has run dry.
  std::size_t room = kMaxConnections;
  for (;;) {
    const auto now = SteadyClock::now();
    std::erase_if(connections, [now](const Connection& c) { return c.deadline <= now; });
    int timeout = -1;
    const auto waitUntil = [&timeout, now](SteadyClock::time_point until) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
      timeout = timeout < 0 ? static_cast<int>(left) : std::min(timeout, static_cast<int>(left));
    };
    for (const Connection& c : connections) waitUntil(c.deadline);
    const bool paused = now < acceptAgain;
    if (paused) waitUntil(acceptAgain);
    polled.clear();
    polled.push_back({wakeRead_.get(), POLLIN, 0});
    const bool accepting = !paused;
    polled.push_back({accepting ? socket_.get() : -1, POLLIN, 0});
    for (const Connection& c : connections) polled.push_back({c.fd.get(), POLLIN, 0});
    if (::poll(polled.data(), polled.size(), timeout) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (polled[0].revents) return;

    // Connections first: the vector may grow below.
    for (std::size_t i = 0; i < connections.size();) {
      bool complete = false;
      const short events = polled[i + 2].revents;
      if (!events || ReadSome(connections[i], complete)) {
        ++i;
        continue;
      }
      if (complete) Answer(connections[i].fd.release(), connections[i].reader.Frame());
      connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(i));
      polled.erase(polled.begin() + static_cast<std::ptrdiff_t>(i + 2));
    }
    if (accepting && polled[1].revents) {
      // Half the house per pass: what this pass accepts is read before any of it can be evicted.
      for (std::size_t taken = 0; taken < std::max<std::size_t>(room / 2, 1); ++taken) {
        const int fd = ::accept4(socket_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0 && (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)) {
          // The newest connections give their descriptors back to the rest of the player, which
          // must go on playing and be able to save its settings, and fewer are held from now on.
          room =
              connections.size() > kSpareDescriptors ? connections.size() - kSpareDescriptors : 1;
          while (connections.size() >= room && !connections.empty()) connections.pop_back();
          pauseMs = pauseMs == 0 ? kFirstAcceptPauseMs : std::min(2 * pauseMs, kMostAcceptPauseMs);
          acceptAgain = SteadyClock::now() + std::chrono::milliseconds(pauseMs);
          break;
        }
        if (fd < 0) {
          if (errno == EAGAIN || errno == EWOULDBLOCK) {  // the queue is empty
            pauseMs = 0;
            room = kMaxConnections;
          }
          break;
        }
        Fd accepted(fd);
        if (!PeerIsSameUser(fd)) continue;
        // A full house makes room by closing its oldest connection: a sender writes its frame as
        // soon as it connects, so only a peer that holds the line idle is old here, and a flood of
        // those must not keep the next sender waiting until it gives up.
        if (connections.size() >= room) connections.erase(connections.begin());
        connections.push_back({std::move(accepted), FrameReader(),
                               SteadyClock::now() + std::chrono::milliseconds(kFrameMilliseconds)});
      }
      // Short of descriptors, a flood that reconnects as fast as it is closed is taken in at a
      // measured pace, not as fast as it comes.
      if (room < kMaxConnections)
        acceptAgain = std::max(acceptAgain,
                               SteadyClock::now() + std::chrono::milliseconds(kFirstAcceptPauseMs));
    }
  }
}

}  // namespace solka
