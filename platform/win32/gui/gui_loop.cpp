#include "platform/win32/gui/gui_loop.h"

namespace solka {

namespace {

constexpr wchar_t kLoopClass[] = L"SolkaLoop";
constexpr UINT kRunPosted = WM_APP + 2;

}  // namespace

class GuiLoop::LoopTimer : public Timer {
 public:
  LoopTimer(GuiLoop& loop, int milliseconds, std::function<void()> onTick)
      : loop_(loop), id_(loop.nextTimerId_++), interval_(milliseconds), onTick_(std::move(onTick)) {
    loop_.timers_[id_] = this;
  }
  ~LoopTimer() override {
    KillTimer(loop_.window_, id_);
    loop_.timers_.erase(id_);
  }
  void SetInterval(int milliseconds) override {
    interval_ = milliseconds;  // restarts a running timer, as a changed interval should
    Apply();
  }
  int Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override {
    enabled_ = enabled;
    Apply();
  }
  bool Enabled() const override { return enabled_; }
  void Tick() { onTick_(); }

 private:
  // An interval of 0 would tick as fast as the system allows; it means "never" instead.
  void Apply() {
    if (enabled_ && interval_ > 0)
      SetTimer(loop_.window_, id_, static_cast<UINT>(interval_), nullptr);
    else
      KillTimer(loop_.window_, id_);
  }

  GuiLoop& loop_;
  UINT_PTR id_;
  int interval_;
  bool enabled_ = false;
  std::function<void()> onTick_;
};

GuiLoop::GuiLoop(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kLoopClass;
  RegisterClassExW(&wc);
  window_ =
      CreateWindowExW(0, kLoopClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

GuiLoop::~GuiLoop() {
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

std::unique_ptr<Timer> GuiLoop::CreateTimer(int milliseconds, bool enabled,
                                            std::function<void()> onTick) {
  auto timer = std::make_unique<LoopTimer>(*this, milliseconds, std::move(onTick));
  timer->SetEnabled(enabled);
  return timer;
}

void GuiLoop::SetIdleHandler(std::function<void()> handler) {
  idle_ = std::move(handler);
}

void GuiLoop::Post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(postedMutex_);
    posted_.push_back(std::move(task));
  }
  PostMessageW(window_, kRunPosted, 0, 0);
}

LRESULT CALLBACK GuiLoop::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* loop = reinterpret_cast<GuiLoop*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (loop && message == WM_TIMER) {
    auto it = loop->timers_.find(wParam);
    if (it != loop->timers_.end()) it->second->Tick();
    return 0;
  }
  if (loop && message == kRunPosted) {
    loop->RunPosted();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void GuiLoop::RunPosted() {
  std::deque<std::function<void()>> tasks;
  {
    std::lock_guard<std::mutex> lock(postedMutex_);
    tasks.swap(posted_);
  }
  for (auto& task : tasks) task();
}

bool GuiLoop::Handle(MSG& msg) {
  if (msg.message == WM_QUIT) {
    quitSeen_ = true;
    quitCode_ = static_cast<int>(msg.wParam);
    return false;
  }
  for (Filter& filter : filters_)
    if (filter(msg)) return true;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

void GuiLoop::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!Handle(msg)) {
      PostQuitMessage(quitCode_);  // for the loop that owns the run
      return;
    }
  }
}

void GuiLoop::RunIdle() {
  if (!idle_ || inIdle_) return;
  inIdle_ = true;
  // A copy: the handler may replace or remove itself while it runs.
  std::function<void()> handler = idle_;
  handler();
  inIdle_ = false;
}

int GuiLoop::Run() {
  Pump([] { return false; });
  return quitCode_;
}

void GuiLoop::RunUntil(const std::function<bool()>& done) {
  Pump(done);
  // A nested loop hands the end of the program on to the loop around it.
  if (quitSeen_) PostQuitMessage(quitCode_);
}

void GuiLoop::Pump(const std::function<bool()>& done) {
  MSG msg;
  while (!quitSeen_ && !done()) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!Handle(msg)) break;
      continue;
    }
    // The queue ran dry: the idle handler's moment, then wait for the next message.
    RunIdle();
    if (done() || quitSeen_) break;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) WaitMessage();
  }
}

}  // namespace solka
