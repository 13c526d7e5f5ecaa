#include "platform/win32/dshow_media.h"

#include <dshow.h>

#include <algorithm>
#include <functional>
#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/window_owner.h"

namespace solka {

namespace {

constexpr wchar_t kWindowClass[] = L"SolkaGraphEvents";

template <typename T>
void Release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// DirectShow's own text for its error codes (the system's for the others), on one line.
std::string HresultText(HRESULT hr) {
  wchar_t text[MAX_ERROR_TEXT_LEN] = {};
  if (AMGetErrorTextW(hr, text, MAX_ERROR_TEXT_LEN) > 0) {
    std::string line = Narrow(text);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
      line.pop_back();
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::replace(line.begin(), line.end(), '\r', ' ');
    if (!line.empty()) return line;
  }
  return SystemMessage(static_cast<unsigned long>(hr));
}

constexpr double kUnitsPerSecond = 10000000.0;  // REFERENCE_TIME: 100 ns

}  // namespace

class DShowGraph : public MediaGraph {
 public:
  DShowGraph(DShowMediaBackend& backend, std::uint64_t serial)
      : backend_(backend), serial_(serial) {
    backend_.graphs_[serial_] = this;
  }
  ~DShowGraph() override {
    backend_.graphs_.erase(serial_);
    if (control_) control_->Stop();
    if (events_) events_->SetNotifyWindow(0, 0, 0);
    Release(audio_);
    Release(seeking_);
    Release(events_);
    Release(control_);
    Release(builder_);
  }

  void SetNotify(std::function<void()> notify) override { notify_ = std::move(notify); }
  void Notify() {
    if (notify_) notify_();
  }

  RenderResult RenderFile(const std::string& path) override {
    if (builder_) return RenderResult::Failure("the graph has a file already");
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IGraphBuilder, reinterpret_cast<void**>(&builder_));
    if (FAILED(hr)) return RenderResult::Failure(HresultText(hr));
    builder_->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control_));
    builder_->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&events_));
    builder_->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking_));
    builder_->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&audio_));
    if (!control_ || !events_ || !seeking_ || !audio_)
      return RenderResult::Failure(HresultText(E_NOINTERFACE));
    events_->SetNotifyWindow(reinterpret_cast<OAHWND>(backend_.window_),
                             DShowMediaBackend::kGraphNotify, static_cast<LONG_PTR>(serial_));
    // A missing file is the system's "file not found", not a parser's complaint about it.
    if (GetFileAttributesW(Widen(path).c_str()) == INVALID_FILE_ATTRIBUTES)
      return RenderResult::Failure(SystemMessage(GetLastError()));
    hr = builder_->RenderFile(Widen(path).c_str(), nullptr);
    if (FAILED(hr)) return RenderResult::Failure(HresultText(hr));
    // A file without sound (a picture, a silent video) reaches no audio renderer.
    long volume = 0;
    hr = audio_->get_Volume(&volume);
    if (FAILED(hr)) return RenderResult::Failure("no audio stream: " + HresultText(hr));
    // The stored level is on before the first sample reaches the renderer.
    audio_->put_Volume(volume_);
    // Ready to play: the graph has prerolled when a pause completes, bounded.
    control_->Pause();
    OAFilterState state = State_Stopped;
    hr = control_->GetState(5000, &state);
    if (hr == VFW_S_STATE_INTERMEDIATE || FAILED(hr))
      return RenderResult::Failure(FAILED(hr) ? HresultText(hr) : "not ready within 5 s");
    return RenderResult::Success();
  }

  void Run() override {
    if (control_) control_->Run();
  }
  void Pause() override {
    if (control_) control_->Pause();
  }
  void Stop() override {
    if (control_) control_->Stop();
  }

  double Duration() override {
    LONGLONG d = 0;
    return seeking_ && SUCCEEDED(seeking_->GetDuration(&d)) ? d / kUnitsPerSecond : 0.0;
  }
  double Position() override {
    LONGLONG p = 0;
    return seeking_ && SUCCEEDED(seeking_->GetCurrentPosition(&p)) ? p / kUnitsPerSecond : 0.0;
  }
  void SetPosition(double seconds) override {
    if (!seeking_) return;
    LONGLONG p = static_cast<LONGLONG>(std::max(0.0, seconds) * kUnitsPerSecond);
    seeking_->SetPositions(&p, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
  }
  double Rate() override {
    double rate = 1.0;
    return seeking_ && SUCCEEDED(seeking_->GetRate(&rate)) ? rate : 1.0;
  }
  void SetRate(double rate) override {
    if (seeking_) seeking_->SetRate(rate);
  }
  // Also before RenderFile: the graph then starts at that level.
  void SetVolume(int hundredthsOfDb) override {
    volume_ = std::clamp(hundredthsOfDb, -10000, 0);
    if (audio_) audio_->put_Volume(volume_);
  }

  bool GetEvent(MediaEvent& event) override {
    if (!events_) return false;
    long code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (events_->GetEvent(&code, &param1, &param2, 0) == S_OK) {
      events_->FreeEventParams(code, param1, param2);
      if (code == EC_COMPLETE) {
        event = {MediaEvent::Kind::Ended, {}};
        return true;
      }
      if (code == EC_ERRORABORT || code == EC_ERRORABORTEX || code == EC_STREAM_ERROR_STOPPED) {
        event = {MediaEvent::Kind::Failed, HresultText(static_cast<HRESULT>(param1))};
        return true;
      }
      // Every other event (clock changes, repaints, state changes) is the graph's own affair.
    }
    return false;
  }

 private:
  DShowMediaBackend& backend_;
  const std::uint64_t serial_;
  std::function<void()> notify_;
  long volume_ = 0;
  IGraphBuilder* builder_ = nullptr;
  IMediaControl* control_ = nullptr;
  IMediaEventEx* events_ = nullptr;
  IMediaSeeking* seeking_ = nullptr;
  IBasicAudio* audio_ = nullptr;
};

DShowMediaBackend::DShowMediaBackend() {
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
  if (window_) DestroyWindow(window_);
  if (comJoined_) CoUninitialize();
}

std::unique_ptr<MediaGraph> DShowMediaBackend::CreateGraph() {
  return std::make_unique<DShowGraph>(*this, nextSerial_++);
}

LRESULT CALLBACK DShowMediaBackend::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowOwner<DShowMediaBackend>(window, message, lParam);
  if (message == kGraphNotify && self) {
    // A graph released since it posted this is gone from the map: its message is dropped.
    const auto it = self->graphs_.find(static_cast<std::uint64_t>(lParam));
    if (it != self->graphs_.end()) it->second->Notify();
    return 0;
  }
  if (message == WM_DESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace solka
