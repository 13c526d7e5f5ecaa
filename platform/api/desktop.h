// Services of the desktop the player runs on: event loop, timers, dialogs, shell, power.
//
// Contract for every interface here: GUI thread only; calls return promptly unless they say
// they wait; none throws.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace solka {

// A repeating timer whose ticks arrive on the GUI thread between other events.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  virtual std::unique_ptr<Timer> CreateTimer(int milliseconds, bool enabled,
                                             std::function<void()> onTick) = 0;
  // Installs the idle handler: it runs each time the event queue runs dry until it is replaced
  // or removed (nullptr). A handler may remove itself while it runs.
  virtual void SetIdleHandler(std::function<void()> handler) = 0;
  virtual bool HasIdleHandler() const = 0;
  // Handles the events that are waiting, then returns.
  virtual void ProcessMessages() = 0;
  // Runs `task` later from the loop, after the event being handled (and any modal wait it
  // starts) has returned to it or to a nested loop.
  virtual void Post(std::function<void()> task) = 0;
};

struct SaveFileRequest {
  std::string initialFolder;  // empty: the platform's default
  std::string defaultExtension;
  std::string filter;  // "description|pattern"
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A plain message box without owner window and with an OK button; waits for it.
  virtual void MessageBox(const std::string& text, const std::string& caption) = 0;
  // The save dialog; the chosen path, or nullopt when cancelled.
  virtual std::optional<std::string> SaveFile(const SaveFileRequest& request) = 0;
  // The open dialog with the toolkit's defaults (no filter, no title); the chosen file, or
  // nullopt when cancelled.
  virtual std::optional<std::string> OpenFile() = 0;
  // The folder browser over the whole file system, titled `title`, showing `start` first (none
  // when empty); the chosen folder without a trailing delimiter (except the root itself), or
  // nullopt when cancelled. Waits for it, events go on being handled meanwhile.
  virtual std::optional<std::string> BrowseForFolder(const std::string& title,
                                                     const std::string& start) = 0;
};

// The screen and window system as far as the core asks it.
class Screen {
 public:
  virtual ~Screen() = default;
  virtual int AvailableHeight() = 0;  // work area for a full-screen window
  virtual int CaptionHeight() = 0;    // title bar of a window
  // Pixel width of a row text in the list box's font.
  virtual int ListTextWidth(const std::string& text) = 0;
  // The same in the font of the list selection dialog's list box.
  virtual int DialogListTextWidth(const std::string& text) = 0;
  virtual bool MainWindowIsForeground() = 0;
  // Raises and activates the main window (bringing the application to the front).
  virtual void BringToFront() = 0;
  virtual void SetWaitCursor(bool wait) = 0;
  // Asks the window system to close the main window; the close event (FormClose) follows from
  // the event loop, not from inside this call.
  virtual void CloseMainWindow() = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a document, folder or program the way the desktop does; detached, no shell.
  virtual void Open(const std::string& target) = 0;
  // Starts a program detached with the given arguments; no shell. `hidden`: its window is not
  // shown (a helper that only acts on other windows).
  virtual void Start(const std::string& program, const std::vector<std::string>& arguments,
                     bool hidden = false) = 0;
};

// The machine's power: the actions that end an unattended listening, and a lock that keeps the
// desktop's own idle actions away while music plays.
//
// An action may wait for the system's answer, but never longer than a few seconds in all. A
// refused or failed action leaves the machine as it is and is reported by the implementation
// (one line on stderr), never to the caller: the caller's next step is the same either way.
// Every action lets go of the idle lock before it asks for anything.
class Power {
 public:
  virtual ~Power() = default;
  // Shuts the machine down; when the polite request is refused, the forced one follows.
  virtual void PowerOff() = 0;
  virtual void Suspend() = 0;
  virtual void Hibernate() = 0;
  // Puts the monitor into standby, then turns it off. Nothing happens where the display server
  // has no such control.
  virtual void MonitorOff() = 0;
  // Holds (true) or lets go of (false) the lock against the desktop's idle suspend. Returns at
  // once; a repeated value changes nothing.
  virtual void HoldIdleLock(bool hold) = 0;
};

}  // namespace solka
