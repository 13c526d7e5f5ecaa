// The single instance and copy-data messages on Windows, as the original has them: the named
// mutex, FindWindowW by class, and WM_COPYDATA sent with SendMessageTimeoutW.
//
// A mutex held by a process that ended (a crash included) is abandoned and taken over at once.
// Sends block the caller's own incoming sent messages (SMTO_BLOCK), so no other program's
// message reaches the player in the middle of one of its own calls.
#pragma once

#include <windows.h>

#include <set>
#include <string>

#include "platform/api/copy_data.h"

namespace solka {

class Win32InterProcess : public InterProcess {
 public:
  // Frames to the window classes in `ansiReceivers` carry their text in the user's ANSI code
  // page, as those outside programs read it; all others carry the bytes as given (UTF-8).
  explicit Win32InterProcess(std::set<std::string> ansiReceivers = {})
      : ansiReceivers_(std::move(ansiReceivers)) {}

  // The top-level window whose handle goes with each frame as its first parameter (the main
  // window once it exists).
  void SetSenderWindow(HWND window) { sender_ = window; }

  LockResult TryLock(const std::string& name) override;
  // A named mutex is held only while its holder lives (one that ended is abandoned and taken by
  // TryLock): a held one is never taken over, and a player that does not answer is waited for.
  LockResult TakeOverLock(const std::string& name, std::uint64_t holder) override;
  // A hidden top-level window of class `windowClass` (registered here), found by FindWindowW.
  std::unique_ptr<CopyDataEndpoint> Listen(const std::string& windowClass, CopyDataCheck check,
                                           CopyDataHandler handler) override;
  SendResult Send(const std::string& windowClass, const CopyData& frame, int timeoutMs) override;

 private:
  std::set<std::string> ansiReceivers_;
  HWND sender_ = nullptr;
};

}  // namespace solka
