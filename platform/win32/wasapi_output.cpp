#include "platform/win32/wasapi_output.h"

#include <audioclient.h>
#include <mmdeviceapi.h>

#include <algorithm>
#include <utility>

#include "platform/win32/com_object.h"
#include "platform/win32/output_lane.h"

namespace solka {

namespace {

// 200 ms: room for a busy machine's delays. Pausing stops the stream at once all the same.
constexpr REFERENCE_TIME kBufferDuration = 2000000;

template <typename T>
void Release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// The sub-format of an extensible format begins with the plain format tag.
WORD FormatTag(const WAVEFORMATEX& format) {
  if (format.wFormatTag != WAVE_FORMAT_EXTENSIBLE || format.cbSize < 22) return format.wFormatTag;
  return static_cast<WORD>(reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format).SubFormat.Data1);
}

}  // namespace

// Tells the output when the system's default playback device changes.
class DeviceWatch : public ComObject<IMMNotificationClient> {
 public:
  explicit DeviceWatch(WasapiOutput& output) : output_(output) {}
  HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override {
    if (flow == eRender && role == eConsole) output_.Reopen();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override {
    return S_OK;
  }

 private:
  WasapiOutput& output_;
};

WasapiOutput::WasapiOutput(std::function<void(std::uint64_t)> ended) : ended_(std::move(ended)) {
  wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  audio_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  thread_ = std::thread([this] { Loop(); });
}

WasapiOutput::~WasapiOutput() {
  quit_ = true;
  SetEvent(wake_);
  thread_.join();
  CloseHandle(wake_);
  CloseHandle(audio_);
}

bool WasapiOutput::Usable() {
  for (int i = 0; i < 300 && tried_ == 0; ++i) Sleep(10);
  return opens_ > 0;
}

void WasapiOutput::Reopen() {
  reopen_ = true;
  SetEvent(wake_);
}

bool WasapiOutput::Open() {
  if (!devices_) {
    CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                     __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&devices_));
    if (!devices_) return false;
    watch_ = new DeviceWatch(*this);
    devices_->RegisterEndpointNotificationCallback(watch_);
  }
  IMMDevice* device = nullptr;
  if (FAILED(devices_->GetDefaultAudioEndpoint(eRender, eConsole, &device))) return false;
  device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&client_));
  device->Release();
  WAVEFORMATEX* format = nullptr;
  if (!client_ || FAILED(client_->GetMixFormat(&format))) {
    Close();
    return false;
  }
  const WORD tag = FormatTag(*format);
  outFloat_ = tag == WAVE_FORMAT_IEEE_FLOAT && format->wBitsPerSample == 32;
  const bool ok =
      (outFloat_ || (tag == WAVE_FORMAT_PCM && format->wBitsPerSample == 16)) &&
      SUCCEEDED(client_->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK,
                                    kBufferDuration, 0, format, nullptr)) &&
      SUCCEEDED(client_->SetEventHandle(audio_)) &&
      SUCCEEDED(client_->GetBufferSize(&bufferFrames_)) &&
      SUCCEEDED(
          client_->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&render_)));
  outRate_ = static_cast<int>(format->nSamplesPerSec);
  outChannels_ = format->nChannels;
  CoTaskMemFree(format);
  if (!ok) {
    Close();
    return false;
  }
  written_ = 0;
  buffered_ = false;
  {
    // A track whose end was being waited for in the old stream has been heard as far as it goes.
    std::lock_guard lock(mutex_);
    for (auto& lane : lanes_) lane->drainAt = 0;
  }
  ++opens_;
  return true;
}

void WasapiOutput::Close() {
  if (client_ && running_) client_->Stop();
  running_ = false;
  Release(render_);
  Release(client_);
}

void WasapiOutput::Loop() {
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  Open();
  ++tried_;
  while (!quit_) {
    if (reopen_.exchange(false)) {
      Close();
      Open();
    }
    if (!client_) {
      // No device now (it went away): try again shortly; the tracks wait where they are.
      WaitForSingleObject(wake_, 250);
      if (!quit_ && !client_) Open();
      continue;
    }
    bool active = false, none = false;
    {
      std::lock_guard lock(mutex_);
      for (const auto& lane : lanes_)
        active = active || (!lane->paused && !lane->feeds.empty() &&
                            (!lane->endPosted || lane->generation != lane->feeds[0]->Generation()));
      none = lanes_.empty();
    }
    if (!active) {
      if (running_) client_->Stop();
      running_ = false;
      // A stopped track's last buffered sound goes with it; a paused one's waits for it.
      if (none && std::exchange(buffered_, false)) client_->Reset();
      WaitForSingleObject(wake_, 500);
      continue;
    }
    UINT32 padding = 0;
    BYTE* data = nullptr;
    if (FAILED(client_->GetCurrentPadding(&padding))) {
      Close();  // the device is gone: open the default one again
      continue;
    }
    const UINT32 room = bufferFrames_ - std::min(padding, bufferFrames_);
    if (room > 0) {
      if (FAILED(render_->GetBuffer(room, &data))) {
        Close();
        continue;
      }
      mix_.assign(static_cast<std::size_t>(room) * outChannels_, 0.0f);
      std::uint32_t frames = 0;
      {
        std::lock_guard lock(mutex_);
        frames = Render(mix_.data(), room, written_ - padding);
        if (tap_) tap_(mix_.data(), frames, outRate_, outChannels_);
      }
      const std::size_t samples = static_cast<std::size_t>(frames) * outChannels_;
      if (outFloat_) {
        std::copy(mix_.begin(), mix_.begin() + samples, reinterpret_cast<float*>(data));
      } else {
        auto* out = reinterpret_cast<std::int16_t*>(data);
        for (std::size_t i = 0; i < samples; ++i)
          out[i] = static_cast<std::int16_t>(std::clamp(mix_[i], -1.0f, 1.0f) * 32767.0f);
      }
      render_->ReleaseBuffer(frames, 0);
      written_ += frames;
      buffered_ = buffered_ || frames > 0;
    }
    if (!running_) running_ = SUCCEEDED(client_->Start());
    HANDLE waits[] = {audio_, wake_};
    WaitForMultipleObjects(2, waits, FALSE, 200);
  }
  Close();
  if (devices_ && watch_) devices_->UnregisterEndpointNotificationCallback(watch_);
  Release(watch_);
  Release(devices_);
  CoUninitialize();
}

}  // namespace solka
