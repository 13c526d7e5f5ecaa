// The GUI thread's message loop on Win32: timers, the idle handler, tasks posted from other
// threads, and the nested loops of modal dialogs. Every window of the program is pumped here, so
// timer ticks, media events and hand-overs go on while a dialog is open.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/api/desktop.h"

namespace solka {

class GuiLoop : public EventLoop {
 public:
  explicit GuiLoop(HINSTANCE instance);
  ~GuiLoop() override;
  GuiLoop(const GuiLoop&) = delete;
  GuiLoop& operator=(const GuiLoop&) = delete;

  std::unique_ptr<Timer> CreateTimer(int milliseconds, bool enabled,
                                     std::function<void()> onTick) override;
  void SetIdleHandler(std::function<void()> handler) override;
  bool HasIdleHandler() const override { return static_cast<bool>(idle_); }
  void ProcessMessages() override;

  // Runs `task` on the GUI thread from the loop; callable from any thread.
  void Post(std::function<void()> task) override;
  // A message-only window that lives as long as the loop (timers and posted tasks arrive there).
  HWND MessageWindow() const { return window_; }

  // A filter sees every message before it is dispatched; true means it was handled.
  using Filter = std::function<bool(MSG&)>;
  void AddFilter(Filter filter) { filters_.push_back(std::move(filter)); }

  // The main loop; returns the code of WM_QUIT.
  int Run();
  // A nested loop until `done` holds or the program quits (WM_QUIT is then posted again for the
  // outer loop). The idle handler runs here as in the main loop.
  void RunUntil(const std::function<bool()>& done);

 private:
  class LoopTimer;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // False on WM_QUIT.
  bool Handle(MSG& msg);
  void Pump(const std::function<bool()>& done);
  void RunIdle();
  void RunPosted();

  HWND window_ = nullptr;
  std::function<void()> idle_;
  bool inIdle_ = false;
  std::vector<Filter> filters_;
  std::map<UINT_PTR, LoopTimer*> timers_;
  UINT_PTR nextTimerId_ = 1;
  std::mutex postedMutex_;
  std::deque<std::function<void()>> posted_;
  bool quitSeen_ = false;
  int quitCode_ = 0;
};

}  // namespace solka
