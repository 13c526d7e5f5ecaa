#include "platform/win32/dshow_graph.h"

#include <dshow.h>

#include <algorithm>
#include <cmath>

#include "platform/win32/dshow_media.h"
#include "platform/win32/wasapi_output.h"
#include "platform/win32/wide_text.h"

namespace solka {

namespace {

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
constexpr DWORD kReadyWait = 5000;

float Gain(long hundredthsOfDb) {
  return static_cast<float>(std::pow(10.0, hundredthsOfDb / 2000.0));
}

}  // namespace

DShowGraph::DShowGraph(DShowMediaBackend& backend, std::uint64_t serial,
                       std::shared_ptr<TrackFeed> after)
    : backend_(backend), serial_(serial), after_(std::move(after)) {
  backend_.graphs_[serial_] = this;
}

DShowGraph::~DShowGraph() {
  backend_.graphs_.erase(serial_);
  AdoptPrepared();
  LeavePlayer();
  if (control_) control_->Stop();
  if (events_) events_->SetNotifyWindow(0, 0, 0);
  Release(audio_);
  Release(seeking_);
  Release(events_);
  Release(control_);
  Release(builder_);
}

void DShowGraph::Queue(MediaEvent event) {
  queue_.push_back(std::move(event));
  if (notify_) notify_();
}

void DShowGraph::OnEnded() {
  Queue({MediaEvent::Kind::Ended, {}});
}

void DShowGraph::OnPrepared() {
  if (!preparing_) return;  // taken at its turn already
  AdoptPrepared();
  // What the graph queued before it was ours.
  if (player_) OnGraphEvents();
}

void DShowGraph::AdoptPrepared() {
  if (!preparing_) return;
  player_ = preparing_->Take();
  preparing_.reset();
  // Not built: its turn starts it afresh, which gives the reason or takes the renderer.
  if (!player_) prepared_.clear();
}

void DShowGraph::OnGraphEvents() {
  if (!player_) {
    // The renderer's graph: GetEvent reads its queue. A graph still being prepared is read
    // once it is ours.
    if (notify_ && !preparing_) notify_();
    return;
  }
  const HRESULT failure = player_->Drain();
  if (SUCCEEDED(failure)) return;
  WasapiOutput* output = backend_.Output();
  if (!prepared_.empty() && !(output && output->Plays(*player_->Feed()))) {
    // A prepared track that breaks down leaves the output, so the track before it plays out;
    // its turn then fails as a start does.
    preparedFailure_ = HresultText(failure);
    LeavePlayer();
    return;
  }
  Queue({MediaEvent::Kind::Failed, HresultText(failure)});
}

void DShowGraph::LeavePlayer() {
  if (!player_) return;
  if (WasapiOutput* output = backend_.Output()) output->Remove(*player_->Feed());
  lastPosition_ = player_->Feed()->Position();
  player_.reset();
}

bool DShowGraph::BuildPlayer(const std::wstring& path) {
  if (!backend_.Output()) return false;
  auto graph = std::make_unique<GrabberGraph>();
  if (!graph->Build(path, serial_, backend_.window_, DShowMediaBackend::kGraphNotify)) return false;
  // The level holds from the first sample.
  graph->Feed()->gain = Gain(volume_);
  player_ = std::move(graph);
  return true;
}

RenderResult DShowGraph::RenderFile(const std::string& path) {
  if (preparing_ && path == prepared_) {
    // At its turn the build is waited for, bounded; its thread tears down one that is late.
    const bool built = preparing_->Wait(kReadyWait);
    AdoptPrepared();
    if (!built) {
      prepared_.clear();
      return RenderResult::Failure("not ready within 5 s");
    }
  }
  if (!prepared_.empty() && path == prepared_) {
    // A follower at its turn: it plays already, or its preparation failed.
    if (!preparedFailure_.empty()) return RenderResult::Failure(preparedFailure_);
    if (player_ && backend_.Output()->Plays(*player_->Feed())) return RenderResult::Success();
    if (player_) {
      // Built after its predecessor's end: it starts in a lane of its own.
      prepared_.clear();
      backend_.Output()->Remove(*player_->Feed());
      return RenderThroughPlayer();
    }
  }
  // A follower used otherwise starts afresh.
  if (!prepared_.empty() || preparing_) {
    AdoptPrepared();
    LeavePlayer();
    prepared_.clear();
    preparedFailure_.clear();
    queue_.clear();
  }
  after_.reset();
  if (builder_ || player_) return RenderResult::Failure("the graph has a file already");
  const std::wstring wide = Widen(path);
  // A missing file is the system's "file not found", not a parser's complaint about it.
  if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES)
    return RenderResult::Failure(SystemMessage(GetLastError()));
  if (BuildPlayer(wide)) return RenderThroughPlayer();
  return RenderThroughRenderer(wide);
}

RenderResult DShowGraph::RenderThroughPlayer() {
  player_->Run();
  const HRESULT hr = player_->WaitForData(kReadyWait);
  if (FAILED(hr)) {
    LeavePlayer();
    return RenderResult::Failure(HresultText(hr));
  }
  // Held until Run, as a graph that has prerolled.
  backend_.Output()->Start(player_->Feed());
  return RenderResult::Success();
}

RenderResult DShowGraph::RenderThroughRenderer(const std::wstring& path) {
  HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&builder_));
  if (FAILED(hr)) return RenderResult::Failure(HresultText(hr));
  builder_->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control_));
  builder_->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&events_));
  builder_->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking_));
  builder_->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&audio_));
  if (!control_ || !events_ || !seeking_ || !audio_)
    return RenderResult::Failure(HresultText(E_NOINTERFACE));
  events_->SetNotifyWindow(reinterpret_cast<OAHWND>(backend_.window_),
                           DShowMediaBackend::kGraphNotify, static_cast<LONG_PTR>(serial_));
  hr = builder_->RenderFile(path.c_str(), nullptr);
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
  hr = control_->GetState(kReadyWait, &state);
  if (hr == VFW_S_STATE_INTERMEDIATE || FAILED(hr))
    return RenderResult::Failure(FAILED(hr) ? HresultText(hr) : "not ready within 5 s");
  return RenderResult::Success();
}

std::unique_ptr<MediaGraph> DShowGraph::CreateFollower() {
  // Only a track in the player's output can be followed, and only until its data has run out.
  if (!player_ || player_->Feed()->drained || !backend_.Output()) return nullptr;
  return std::make_unique<DShowGraph>(backend_, backend_.nextSerial_++, player_->Feed());
}

void DShowGraph::Prepare(const std::string& path) {
  if (!after_) return;
  GraphPreparation::Job job;
  job.after = std::move(after_);
  job.output = backend_.Output();
  if (!job.output) return;
  // Built on a thread of its own: this returns at once. A file that cannot join fails or plays
  // at its turn, in RenderFile, as any start does.
  job.path = Widen(path);
  job.serial = serial_;
  job.window = backend_.window_;
  job.graphMessage = DShowMediaBackend::kGraphNotify;
  job.doneMessage = DShowMediaBackend::kPrepared;
  job.gain = Gain(volume_);
  job.speed = rate_;
  job.running = backend_.preparing_;
  preparing_ = GraphPreparation::Start(std::move(job));
  prepared_ = path;
}

void DShowGraph::Run() {
  if (player_) {
    backend_.Output()->Hold(*player_->Feed(), false);
  } else if (control_) {
    control_->Run();
  }
}

void DShowGraph::Pause() {
  if (player_) {
    backend_.Output()->Hold(*player_->Feed(), true);
  } else if (control_) {
    control_->Pause();
  }
}

void DShowGraph::Stop() {
  // The last position stays readable after the stop.
  lastPosition_ = Position();
  AdoptPrepared();
  LeavePlayer();
  if (control_) control_->Stop();
}

double DShowGraph::Duration() {
  if (player_) return player_->Duration();
  LONGLONG d = 0;
  return seeking_ && SUCCEEDED(seeking_->GetDuration(&d)) ? d / kUnitsPerSecond : 0.0;
}

double DShowGraph::Position() {
  if (player_) {
    const TrackFeed& feed = *player_->Feed();
    // Its data has all gone to the output: it is at its end.
    return feed.drained ? std::max(feed.Position(), Duration()) : feed.Position();
  }
  LONGLONG p = 0;
  if (seeking_ && SUCCEEDED(seeking_->GetCurrentPosition(&p))) return p / kUnitsPerSecond;
  return lastPosition_;
}

void DShowGraph::SetPosition(double seconds) {
  if (!std::isfinite(seconds)) return;
  seconds = std::max(0.0, seconds);
  if (player_) {
    player_->Seek(seconds);
    return;
  }
  if (!seeking_) return;
  LONGLONG p = static_cast<LONGLONG>(seconds * kUnitsPerSecond);
  seeking_->SetPositions(&p, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

double DShowGraph::Rate() {
  if (player_ || preparing_) return rate_;
  double rate = 1.0;
  return seeking_ && SUCCEEDED(seeking_->GetRate(&rate)) ? rate : 1.0;
}

void DShowGraph::SetRate(double rate) {
  if (!(rate > 0) || !std::isfinite(rate)) return;
  if (player_) {
    // The output reads the track faster or slower: the pitch follows, as with the renderer.
    rate_ = rate;
    player_->Feed()->speed = rate;
  } else if (preparing_) {
    rate_ = rate;
    preparing_->SetSpeed(rate);
  } else if (seeking_) {
    seeking_->SetRate(rate);
  }
}

// Also before RenderFile: the graph then starts at that level.
void DShowGraph::SetVolume(int hundredthsOfDb) {
  volume_ = std::clamp(hundredthsOfDb, -10000, 0);
  if (player_) player_->Feed()->gain = Gain(volume_);
  if (preparing_) preparing_->SetGain(Gain(volume_));
  if (audio_) audio_->put_Volume(volume_);
}

bool DShowGraph::GetEvent(MediaEvent& event) {
  if (!queue_.empty()) {
    event = std::move(queue_.front());
    queue_.pop_front();
    return true;
  }
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

}  // namespace solka
