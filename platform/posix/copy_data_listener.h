// The receiving end of one copy-data endpoint. A thread of its own accepts connections, reads
// frames and answers them, all without blocking, so a sender has its answer however long the GUI
// thread is busy; only a frame the check took goes on to the GUI thread. A connection that is not
// of this user, announces a block over the limit, fails or does not deliver its frame in time is
// closed unanswered.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "platform/posix/posix_copy_data.h"
#include "platform/posix/posix_fd.h"

namespace solka {

// True when the process at the other end of a connected socket runs as this user.
bool PeerIsSameUser(int socket);

class CopyDataListener : public CopyDataEndpoint {
 public:
  // Takes a bound, listening, non-blocking socket whose file is `path` (inode `node`).
  CopyDataListener(int socket, std::string path, ino_t node, CopyDataCheck check,
                   CopyDataHandler handler, PosixInterProcess::PostToGui post);
  ~CopyDataListener() override;
  // False when the reading thread could not be started; the endpoint is then useless.
  bool Serving() const { return thread_.joinable(); }
  CopyDataListener(const CopyDataListener&) = delete;
  CopyDataListener& operator=(const CopyDataListener&) = delete;

  // How long a peer has from connecting to the last byte of its frame.
  static constexpr int kFrameMilliseconds = 5000;
  // Connections read at the same time; a later one closes the oldest.
  static constexpr std::size_t kMaxConnections = 64;
  // Out of descriptors, accepting pauses this long, doubling up to the most while it lasts.
  static constexpr int kFirstAcceptPauseMs = 100;
  static constexpr int kMostAcceptPauseMs = 2000;
  // Descriptors the connections leave to the rest of the player once it has run out.
  static constexpr std::size_t kSpareDescriptors = 8;

 private:
  // Owned by the GUI thread: the frames on their way look here before they call the handler.
  struct Receiver {
    CopyDataHandler handler;
    bool alive = true;
  };

  void Serve();
  void Answer(int connection, CopyData frame);

  Fd socket_;
  std::string path_;
  ino_t node_;
  CopyDataCheck check_;  // used on the endpoint's thread only
  std::shared_ptr<Receiver> receiver_;
  PosixInterProcess::PostToGui post_;
  Fd wakeRead_{-1}, wakeWrite_{-1};
  std::thread thread_;
};

}  // namespace solka
