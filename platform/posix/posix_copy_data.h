// Copy-data messages and the instance lock on POSIX: one private folder per user holding a
// Unix-domain stream socket per window class (named after the class) and the lock files.
//
// The folder is the first usable one of $XDG_RUNTIME_DIR/solka/ and /tmp/solka-<uid>/: a real
// folder of this user with mode 0700 (made so when it can be), short enough for socket names.
// A lock is an flock on "<name>.lock" there; the file holds its holder's process id. Peers are
// checked on both ends by their credentials: same user only.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/api/copy_data.h"

namespace solka {

class PosixInterProcess : public InterProcess {
 public:
  // Runs a closure on the GUI thread, from its event loop; callable from any thread.
  using PostToGui = std::function<void(std::function<void()>)>;

  // `folders`: where endpoints and locks may live, in order of preference (see
  // DefaultCopyDataFolders); the first usable one is made on first use and kept from then on.
  PosixInterProcess(std::vector<std::string> folders, PostToGui post);
  PosixInterProcess(std::string folder, PostToGui post)
      : PosixInterProcess(std::vector<std::string>{std::move(folder)}, std::move(post)) {}

  LockResult TryLock(const std::string& name) override;
  LockResult TakeOverLock(const std::string& name, std::uint64_t holder) override;
  std::unique_ptr<CopyDataEndpoint> Listen(const std::string& windowClass, CopyDataCheck check,
                                           CopyDataHandler handler) override;
  SendResult Send(const std::string& windowClass, const CopyData& frame, int timeoutMs) override;

  // A program that execs another in its place hands it the lock it holds: the descriptor stays
  // open (and the lock held) across exec. Returns that descriptor; -1 for a lock of no lock file.
  static int KeepAcrossExec(const InstanceLock& lock);
  // In the program exec'd: the lock `name` passed on in descriptor `fd`, Acquired when `fd` is
  // that lock file and holds it (closed again on a later exec); otherwise Unavailable (a lock
  // file that does not hold it is closed).
  LockResult AdoptLock(const std::string& name, int fd);

 private:
  // The folder in use, ready, with a trailing delimiter; empty (and `error` set) when none of
  // the candidates is usable.
  std::string ReadyFolder(std::string& error);
  // One candidate made ready; empty (and `error` set) when it is missing, not ours, not private
  // and cannot be made so, or too long for socket names.
  static std::string Prepare(const std::string& folder, std::string& error);
  // "<folder>/<name>": an endpoint's socket address, or the lock files' common path; empty
  // (and `error` set) when the name, told as `what`, or the folder is unusable.
  std::string PathOf(const std::string& name, const char* what, std::string& error);

  std::vector<std::string> folders_;
  std::optional<std::size_t> chosen_;  // index into folders_ once one was usable
  PostToGui post_;
};

// $XDG_RUNTIME_DIR/solka/ when that variable names an absolute folder, then /tmp/solka-<uid>/.
std::vector<std::string> DefaultCopyDataFolders();

}  // namespace solka
