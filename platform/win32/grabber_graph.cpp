#include "platform/win32/grabber_graph.h"

#include <dshow.h>
#include <mmreg.h>
#include <qedit.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/win32/com_object.h"

namespace solka {

namespace {

// The sample grabber and the null renderer, by their published class identifiers.
constexpr CLSID kSampleGrabber = {
    0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
constexpr CLSID kNullRenderer = {
    0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
constexpr double kUnitsPerSecond = 10000000.0;  // REFERENCE_TIME: 100 ns

template <typename T>
void Release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

IPin* FirstPin(IBaseFilter* filter, PIN_DIRECTION direction) {
  IEnumPins* pins = nullptr;
  if (FAILED(filter->EnumPins(&pins))) return nullptr;
  IPin* pin = nullptr;
  while (pins->Next(1, &pin, nullptr) == S_OK) {
    PIN_DIRECTION d;
    if (SUCCEEDED(pin->QueryDirection(&d)) && d == direction) break;
    Release(pin);
  }
  pins->Release();
  return pin;
}

// The layout of the connected type, or an unusable one.
PcmFormat FormatOf(const AM_MEDIA_TYPE& type) {
  PcmFormat f;
  if (type.formattype != FORMAT_WaveFormatEx || type.cbFormat < sizeof(WAVEFORMATEX) ||
      !type.pbFormat)
    return f;
  const auto& wave = *reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
  WORD tag = wave.wFormatTag;
  if (tag == WAVE_FORMAT_EXTENSIBLE && type.cbFormat >= sizeof(WAVEFORMATEXTENSIBLE))
    tag = static_cast<WORD>(
        reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(type.pbFormat)->SubFormat.Data1);
  if (tag != WAVE_FORMAT_PCM && tag != WAVE_FORMAT_IEEE_FLOAT) return f;
  f.rate = static_cast<int>(wave.nSamplesPerSec);
  f.channels = wave.nChannels;
  f.bits = wave.wBitsPerSample;
  f.isFloat = tag == WAVE_FORMAT_IEEE_FLOAT;
  return f;
}

void FreeType(AM_MEDIA_TYPE& type) {
  if (type.pbFormat) CoTaskMemFree(type.pbFormat);
  if (type.pUnk) type.pUnk->Release();
  type = {};
}

bool Breakdown(long code) {
  return code == EC_ERRORABORT || code == EC_ERRORABORTEX || code == EC_STREAM_ERROR_STOPPED;
}

}  // namespace

// Hands each decoded buffer to the feed, on the graph's streaming thread.
class FeedCallback : public ComObject<ISampleGrabberCB> {
 public:
  explicit FeedCallback(std::shared_ptr<TrackFeed> feed) : feed_(std::move(feed)) {}
  HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE* data, LONG bytes) override {
    if (data && bytes > 0) feed_->Push(data, static_cast<std::size_t>(bytes));
    return S_OK;
  }

 private:
  std::shared_ptr<TrackFeed> feed_;
};

GrabberGraph::~GrabberGraph() {
  Stop();
  if (events_) events_->SetNotifyWindow(0, 0, 0);
  if (grabber_) grabber_->SetCallback(nullptr, 1);
  Release(callback_);
  Release(sink_);
  Release(grabber_);
  Release(grabberFilter_);
  Release(seeking_);
  Release(events_);
  Release(control_);
  Release(builder_);
}

bool GrabberGraph::Build(const std::wstring& path, std::uint64_t serial, HWND window,
                         UINT message) {
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                              reinterpret_cast<void**>(&builder_))))
    return false;
  builder_->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control_));
  builder_->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&events_));
  builder_->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking_));
  CoCreateInstance(kSampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                   reinterpret_cast<void**>(&grabberFilter_));
  CoCreateInstance(kNullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                   reinterpret_cast<void**>(&sink_));
  if (grabberFilter_)
    grabberFilter_->QueryInterface(IID_ISampleGrabber, reinterpret_cast<void**>(&grabber_));
  if (!control_ || !events_ || !seeking_ || !grabber_ || !sink_) return false;
  events_->SetNotifyWindow(reinterpret_cast<OAHWND>(window), message,
                           static_cast<LONG_PTR>(serial));

  AM_MEDIA_TYPE want{};
  want.majortype = MEDIATYPE_Audio;
  want.subtype = MEDIASUBTYPE_PCM;
  grabber_->SetMediaType(&want);
  builder_->AddFilter(grabberFilter_, L"player");
  builder_->AddFilter(sink_, L"sink");
  IBaseFilter* source = nullptr;
  if (FAILED(builder_->AddSourceFilter(path.c_str(), L"source", &source))) return false;
  IPin* in = FirstPin(grabberFilter_, PINDIR_INPUT);
  IPin* out = FirstPin(grabberFilter_, PINDIR_OUTPUT);
  IPin* sinkIn = FirstPin(sink_, PINDIR_INPUT);
  bool connected = false;
  IEnumPins* pins = nullptr;
  if (in && SUCCEEDED(source->EnumPins(&pins))) {
    // The first of the file's streams that decodes to PCM plays (a video's sound too).
    IPin* pin = nullptr;
    while (!connected && pins->Next(1, &pin, nullptr) == S_OK) {
      PIN_DIRECTION d;
      connected = SUCCEEDED(pin->QueryDirection(&d)) && d == PINDIR_OUTPUT &&
                  SUCCEEDED(builder_->Connect(pin, in));
      Release(pin);
    }
    pins->Release();
  }
  connected = connected && out && sinkIn && SUCCEEDED(builder_->Connect(out, sinkIn));
  Release(in);
  Release(out);
  Release(sinkIn);
  Release(source);
  AM_MEDIA_TYPE type{};
  if (!connected || FAILED(grabber_->GetConnectedMediaType(&type))) return false;
  const PcmFormat format = FormatOf(type);
  FreeType(type);
  if (!format.Usable()) return false;

  feed_ = std::make_shared<TrackFeed>(serial, format);
  callback_ = new FeedCallback(feed_);
  grabber_->SetBufferSamples(FALSE);
  grabber_->SetOneShot(FALSE);
  grabber_->SetCallback(callback_, 1);
  // No reference clock: nothing paces the decoding but the feed's room.
  IMediaFilter* filter = nullptr;
  builder_->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&filter));
  if (filter) {
    filter->SetSyncSource(nullptr);
    filter->Release();
  }
  return true;
}

void GrabberGraph::Run() {
  if (control_ && feed_) control_->Run();
}

void GrabberGraph::Stop() {
  if (!control_ || !feed_) return;
  // A streaming thread that waits for room in the feed must return before the graph can stop.
  feed_->Flush();
  control_->Stop();
}

double GrabberGraph::Duration() {
  LONGLONG d = 0;
  return seeking_ && SUCCEEDED(seeking_->GetDuration(&d)) ? d / kUnitsPerSecond : 0.0;
}

void GrabberGraph::Seek(double seconds) {
  if (!feed_) return;
  // Stopped for the seek, so no data of the old position arrives once the feed restarts; the
  // end of the old position, if queued, is dropped with the rest of the queue.
  Stop();
  long code = 0;
  LONG_PTR p1 = 0, p2 = 0;
  while (events_->GetEvent(&code, &p1, &p2, 0) == S_OK) events_->FreeEventParams(code, p1, p2);
  LONGLONG at = static_cast<LONGLONG>(seconds * kUnitsPerSecond);
  seeking_->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
  feed_->Restart(seconds);
  control_->Run();
}

HRESULT GrabberGraph::Drain() {
  HRESULT failure = S_OK;
  long code = 0;
  LONG_PTR p1 = 0, p2 = 0;
  while (events_ && events_->GetEvent(&code, &p1, &p2, 0) == S_OK) {
    events_->FreeEventParams(code, p1, p2);
    if (code == EC_COMPLETE) feed_->Finish();
    if (Breakdown(code)) {
      feed_->Finish();
      failure = FAILED(static_cast<HRESULT>(p1)) ? static_cast<HRESULT>(p1) : E_FAIL;
    }
  }
  return failure;
}

HRESULT GrabberGraph::WaitForData(DWORD milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (const HRESULT failure = Drain(); FAILED(failure)) return failure;
    if (feed_->HasData() || feed_->Exhausted()) return S_OK;
    if (std::chrono::steady_clock::now() > end) return VFW_E_TIME_EXPIRED;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace solka
