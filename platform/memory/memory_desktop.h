// Deterministic stand-ins for the desktop services: a manual clock and event loop whose timers
// fire only when a test advances time, and dialogs, shell and power that record their calls.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/api/clock.h"
#include "platform/api/desktop.h"
#include "platform/api/diagnostics.h"
#include "platform/api/text_codec.h"

namespace solka {

class ManualClock : public Clock {
 public:
  TimeOfDay Now() override;
  std::int64_t EpochSeconds() override { return epochMs_ / 1000; }
  std::int64_t SteadyMilliseconds() override { return epochMs_; }
  // Sleeping only moves the clock on.
  void Sleep(int milliseconds) override;
  void Set(std::int64_t epochSeconds) { epochMs_ = epochSeconds * 1000; }
  void Advance(std::int64_t milliseconds) { epochMs_ += milliseconds; }
  std::int64_t Millis() const { return epochMs_; }
  const std::vector<int>& Sleeps() const { return sleeps_; }

 private:
  std::int64_t epochMs_ = 1'700'000'000'000;  // a fixed day; local time is taken as UTC
  std::vector<int> sleeps_;
};

class ManualEventLoop : public EventLoop {
 public:
  explicit ManualEventLoop(ManualClock& clock) : clock_(clock) {}
  std::unique_ptr<Timer> CreateTimer(int milliseconds, bool enabled,
                                     std::function<void()> onTick) override;
  void SetIdleHandler(std::function<void()> handler) override { idle_ = std::move(handler); }
  bool HasIdleHandler() const override { return static_cast<bool>(idle_); }
  // Runs the posted tasks that are waiting.
  void ProcessMessages() override;

  // Queues a task as if an event had arrived (graph notifications, user actions).
  void Post(std::function<void()> task) override { posted_.push_back(std::move(task)); }
  // Handles pending tasks, then runs the idle handler once if the queue is then empty.
  void RunUntilIdle();
  // Moves the clock on and fires every enabled timer whose interval has passed, in time order.
  void AdvanceTime(std::int64_t milliseconds);
  int ProcessMessagesCalls() const { return processCalls_; }

 private:
  struct TimerRecord;
  class ManualTimer;
  ManualClock& clock_;
  std::function<void()> idle_;
  std::deque<std::function<void()>> posted_;
  std::vector<TimerRecord*> timers_;
  int processCalls_ = 0;
};

class RecordingDialogs : public Dialogs {
 public:
  struct Box {
    std::string text, caption;
  };
  void MessageBox(const std::string& text, const std::string& caption) override {
    boxes.push_back({text, caption});
    ++open;
    // What happens while the user has not yet closed it (a modal box keeps the loop running).
    if (whileOpen) whileOpen();
    --open;
  }
  std::optional<std::string> SaveFile(const SaveFileRequest& request) override {
    saveRequests.push_back(request);
    return saveAnswer;
  }
  std::optional<std::string> OpenFile() override {
    ++openRequests;
    return openAnswer;
  }
  std::optional<std::string> BrowseForFolder(const std::string& title,
                                             const std::string& start) override {
    browseTitles.push_back(title);
    browseStarts.push_back(start);
    return folderAnswer;
  }
  std::vector<Box> boxes;
  int open = 0;  // boxes up at this moment
  std::function<void()> whileOpen;
  std::vector<SaveFileRequest> saveRequests;
  std::optional<std::string> saveAnswer;  // what the user picks; nullopt = cancel
  int openRequests = 0;
  std::optional<std::string> openAnswer;
  std::vector<std::string> browseTitles;
  std::vector<std::string> browseStarts;
  std::optional<std::string> folderAnswer;
};

class FakeScreen : public Screen {
 public:
  int AvailableHeight() override { return availableHeight; }
  int CaptionHeight() override { return captionHeight; }
  // Seven pixels per byte: enough to tell widths apart.
  int ListTextWidth(const std::string& text) override { return 7 * static_cast<int>(text.size()); }
  int DialogListTextWidth(const std::string& text) override { return ListTextWidth(text); }
  bool MainWindowIsForeground() override { return foreground; }
  void BringToFront() override { ++broughtToFront; }
  void SetWaitCursor(bool wait) override { cursorLog.push_back(wait); }
  void CloseMainWindow() override { ++closeRequests; }

  int availableHeight = 1000, captionHeight = 20;
  bool foreground = false;
  int broughtToFront = 0, closeRequests = 0;
  std::vector<bool> cursorLog;
};

class RecordingDiagnostics : public Diagnostics {
 public:
  void Warn(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

class RecordingShell : public Shell {
 public:
  struct Call {
    std::string program;
    std::vector<std::string> arguments;
    bool hidden = false;
  };
  void Open(const std::string& target) override { opened.push_back(target); }
  void Start(const std::string& program, const std::vector<std::string>& arguments,
             bool hidden = false) override {
    started.push_back({program, arguments, hidden});
  }
  std::vector<std::string> opened;
  std::vector<Call> started;
};

class RecordingPower : public Power {
 public:
  void PowerOff() override { actions.push_back("power-off"); }
  void Suspend() override { actions.push_back("suspend"); }
  void Hibernate() override { actions.push_back("hibernate"); }
  void MonitorOff() override { actions.push_back("monitor-off"); }
  void HoldIdleLock(bool hold) override {
    if (hold != idleLockHeld) idleLockChanges.push_back(hold);
    idleLockHeld = hold;
  }
  std::vector<std::string> actions;
  bool idleLockHeld = false;
  std::vector<bool> idleLockChanges;  // each change of the lock, in order
};

// Decodes nothing: every byte string that is not UTF-8 is refused.
class NullCodec : public TextCodec {
 public:
  std::optional<std::string> LegacyToUtf8(const std::string&) const override {
    return std::nullopt;
  }
};

}  // namespace solka
