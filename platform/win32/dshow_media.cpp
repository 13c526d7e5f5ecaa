#include "platform/win32/dshow_media.h"

#include "platform/win32/dshow_graph.h"
#include "platform/win32/wasapi_output.h"
#include "platform/win32/window_owner.h"

namespace solka {

namespace {
constexpr wchar_t kWindowClass[] = L"SolkaGraphEvents";
}  // namespace

DShowMediaBackend::DShowMediaBackend(bool playerOutput) : playerOutput_(playerOutput) {
  comJoined_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = kWindowClass;
  RegisterClassExW(&wc);  // a second back end finds it registered
  window_ =
      CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
}

DShowMediaBackend::~DShowMediaBackend() {
  // Preparing threads whose graphs were dropped end by themselves; a bounded wait lets them
  // finish before the output and the apartment go.
  for (int i = 0; i < 500 && *preparing_ > 0; ++i) Sleep(10);
  // Its thread ends before the window its notices go to.
  output_.reset();
  if (window_) DestroyWindow(window_);
  if (comJoined_) CoUninitialize();
}

std::unique_ptr<MediaGraph> DShowMediaBackend::CreateGraph() {
  return std::make_unique<DShowGraph>(*this, nextSerial_++);
}

WasapiOutput* DShowMediaBackend::Output() {
  if (!playerOutput_ || !window_) return nullptr;
  if (!output_) {
    HWND window = window_;
    output_ = std::make_unique<WasapiOutput>([window](std::uint64_t serial) {
      PostMessageW(window, kTrackEnded, 0, static_cast<LPARAM>(serial));
    });
  }
  return output_->Usable() ? output_.get() : nullptr;
}

LRESULT CALLBACK DShowMediaBackend::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowOwner<DShowMediaBackend>(window, message, lParam);
  if ((message == kGraphNotify || message == kTrackEnded || message == kPrepared) && self) {
    // A graph released since it posted this is gone from the map: its message is dropped.
    const auto it = self->graphs_.find(static_cast<std::uint64_t>(lParam));
    if (it != self->graphs_.end()) {
      if (message == kGraphNotify) {
        it->second->OnGraphEvents();
      } else if (message == kPrepared) {
        it->second->OnPrepared();
      } else {
        it->second->OnEnded();
      }
    }
    return 0;
  }
  if (message == WM_DESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace solka
