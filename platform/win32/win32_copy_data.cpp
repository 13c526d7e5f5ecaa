#include "platform/win32/win32_copy_data.h"

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_codec.h"
#include "platform/win32/window_owner.h"

namespace solka {

namespace {

class MutexLock : public InstanceLock {
 public:
  explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
  ~MutexLock() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }

 private:
  HANDLE mutex_;
};

class WindowEndpoint : public CopyDataEndpoint {
 public:
  WindowEndpoint(CopyDataCheck check, CopyDataHandler handler, bool ansiText)
      : check_(std::move(check)), handler_(std::move(handler)), ansiText_(ansiText) {}
  ~WindowEndpoint() override {
    if (window_) DestroyWindow(window_);
  }
  bool Create(const std::wstring& windowClass);

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  CopyDataCheck check_;
  CopyDataHandler handler_;
  bool ansiText_;
  HWND window_ = nullptr;
};

bool WindowEndpoint::Create(const std::wstring& windowClass) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  // A class of that name this process already has must be this endpoint's own kind.
  if (GetClassInfoExW(instance, windowClass.c_str(), &wc)) {
    if (wc.lpfnWndProc != Proc) return false;
  } else {
    wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = windowClass.c_str();
    if (!RegisterClassExW(&wc)) return false;
  }
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.c_str(), L"", WS_POPUP, 0, 0, 0, 0,
                            nullptr, nullptr, instance, this);
  return window_ != nullptr;
}

LRESULT CALLBACK WindowEndpoint::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowOwner<WindowEndpoint>(window, message, lParam);
  if (message == WM_COPYDATA && self) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    // Too large or without data where it claims some: dropped unread.
    if (!data || data->cbData > kMaxCopyDataBytes || (data->cbData && !data->lpData)) return 0;
    std::string bytes(static_cast<const char*>(data->lpData), data->cbData);
    if (self->ansiText_) bytes = ReceivedTextToUtf8(bytes);
    const CopyData frame{static_cast<std::uint32_t>(data->dwData), std::move(bytes)};
    const std::uint32_t answer = self->check_(frame);
    // The sender of another thread has its answer before the handler runs.
    ReplyMessage(static_cast<LRESULT>(answer));
    if (answer == 0) self->handler_(frame);
    return static_cast<LRESULT>(answer);
  }
  if (message == WM_DESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

LockResult Win32InterProcess::TryLock(const std::string& name) {
  LockResult result;
  const HANDLE mutex = CreateMutexW(nullptr, TRUE, Widen(name).c_str());
  if (!mutex) {
    result.error = SystemMessage(GetLastError());
    return result;
  }
  // Created just now, it is ours. It existed: ours only if its owner ended without letting go.
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    const DWORD wait = WaitForSingleObject(mutex, 0);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
      CloseHandle(mutex);
      result.state = LockState::HeldElsewhere;
      return result;
    }
  }
  result.state = LockState::Acquired;
  result.lock = std::make_unique<MutexLock>(mutex);
  return result;
}

LockResult Win32InterProcess::TakeOverLock(const std::string&, std::uint64_t) {
  LockResult result;
  result.error = "a mutex held by a live process is never taken over";
  return result;
}

std::unique_ptr<CopyDataEndpoint> Win32InterProcess::Listen(const std::string& windowClass,
                                                            CopyDataCheck check,
                                                            CopyDataHandler handler) {
  auto endpoint = std::make_unique<WindowEndpoint>(std::move(check), std::move(handler),
                                                   ansiReceivers_.count(windowClass) > 0);
  if (!endpoint->Create(Widen(windowClass))) return nullptr;
  return endpoint;
}

SendResult Win32InterProcess::Send(const std::string& windowClass, const CopyData& frame,
                                   int timeoutMs) {
  SendResult result;
  const HWND target = FindWindowW(Widen(windowClass).c_str(), nullptr);
  if (!target) {
    result.status = SendStatus::NoEndpoint;
    return result;
  }
  const std::string bytes =
      ansiReceivers_.count(windowClass) ? Utf8ToCodePage(CP_ACP, frame.bytes) : frame.bytes;
  if (bytes.size() > kMaxCopyDataBytes) {
    result.status = SendStatus::Refused;
    result.error = std::to_string(bytes.size()) + " bytes, more than the " +
                   std::to_string(kMaxCopyDataBytes) + " a message may hold";
    return result;
  }
  // Only the foreground process may pass the foreground on: the player receiving a hand-over
  // may then come to the front as the user expects.
  DWORD pid = 0;
  GetWindowThreadProcessId(target, &pid);
  AllowSetForegroundWindow(pid);
  COPYDATASTRUCT data{frame.dwData, static_cast<DWORD>(bytes.size()),
                      bytes.empty() ? nullptr : const_cast<char*>(bytes.data())};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(sender_),
                           reinterpret_cast<LPARAM>(&data), SMTO_BLOCK | SMTO_ABORTIFHUNG,
                           static_cast<UINT>(timeoutMs < 0 ? 0 : timeoutMs), &answer))
    return result;
  result.status = SendStatus::Answered;
  result.result = static_cast<std::uint32_t>(answer);
  return result;
}

}  // namespace solka
