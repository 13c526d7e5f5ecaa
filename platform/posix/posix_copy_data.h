// Copy-data messages and the instance lock on POSIX: one private folder per user holding a
// Unix-domain stream socket per window class (named after the class) and the lock files.
//
// The folder is $XDG_RUNTIME_DIR/solka/, else /tmp/solka-<uid>/; it must be a real folder of this
// user with mode 0700, or nothing is set up in it. A lock is an flock on "<name>.lock" there.
// Peers are checked on both ends by their credentials: same user only.
#pragma once

#include <functional>
#include <string>

#include "platform/api/copy_data.h"

namespace solka {

class PosixInterProcess : public InterProcess {
 public:
  // Runs a closure on the GUI thread, from its event loop; callable from any thread.
  using PostToGui = std::function<void(std::function<void()>)>;

  // `folder`: where endpoints and locks live (see DefaultCopyDataFolder); made on first use.
  PosixInterProcess(std::string folder, PostToGui post);

  LockResult TryLock(const std::string& name) override;
  std::unique_ptr<CopyDataEndpoint> Listen(const std::string& windowClass,
                                           CopyDataHandler handler) override;
  SendResult Send(const std::string& windowClass, const CopyData& frame, int timeoutMs) override;

 private:
  // The folder ready for use; empty (and `error` set) when it is missing, not ours or not private
  // and cannot be made so.
  std::string ReadyFolder(std::string& error);
  // The socket address of an endpoint; empty when the name or the whole path is unusable.
  std::string EndpointPath(const std::string& windowClass, std::string& error);

  std::string folder_;
  PostToGui post_;
};

// $XDG_RUNTIME_DIR/solka/ when that variable names an absolute folder, else /tmp/solka-<uid>/.
std::string DefaultCopyDataFolder();

}  // namespace solka
