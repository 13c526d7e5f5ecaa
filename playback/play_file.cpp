// The playback graph of the current track: start, release, event drain and thin wrappers.
#include "app/tdodedev.h"
#include "playback/track_title.h"

namespace solka {

bool TDODEDEV::PlayFile(const std::string& path) {
  if (Playing) {
    StopGraph();
    ReleasePlayback();
  }
  const std::string title = TrackTitle(path, platform_.files.Syntax());

  Graph = platform_.media.CreateGraph();
  if (Graph) Graph->SetNotify([this] { GraphNotify(); });
  // A back end that cannot even build a graph fails the start like a file that does not render.
  if (!Graph || !Graph->RenderFile(path)) {
    ReleasePlayback();
    Form.SetCaption("再生できませんでした");
    return false;
  }

  Graph->SetVolume(Volume);
  ShowVolume();
  Graph->Run();
  Paused = false;
  DurationText = " / " + FormatClock(Graph->Duration());
  Playing = true;

  ShowPlaying(path, title);
  UpdateIdleLock();
  return Playing;
}

void TDODEDEV::ReleasePlayback() {
  if (Playing && Graph) Graph->Stop();
  Form.SetLabelText(1, "");
  ReleasePending = false;
  if (Graph) {
    Graph->SetNotify(nullptr);
    Graph.reset();
  }
  Playing = false;
  UpdateIdleLock();
  ClearTrack();
  ShowIdle();
}

void TDODEDEV::GraphNotify() {
  if (!Graph) return;
  int code = 0;
  // The end-of-track step may release the graph or replace it; the loop follows whatever graph
  // exists after each event.
  while (Graph && Graph->GetEvent(code)) {
    if (code == EC_COMPLETE) EndOfTrack();
  }
  if (Graph && ReleasePending) ReleasePlayback();
}

void TDODEDEV::PauseGraph() {
  if (Graph) Graph->Pause();
}
void TDODEDEV::ResumeGraph() {
  if (Graph) Graph->Run();
}
void TDODEDEV::StopGraph() {
  if (Graph) Graph->Stop();
}
double TDODEDEV::Position() {
  return Graph ? Graph->Position() : 0.0;
}
double TDODEDEV::Duration() {
  return Graph ? Graph->Duration() : 0.0;
}
void TDODEDEV::Seek(double seconds) {
  if (Graph) Graph->SetPosition(seconds);
}
double TDODEDEV::Rate() {
  return Graph ? Graph->Rate() : 1.0;
}
void TDODEDEV::SetRate(double rate) {
  if (Graph) Graph->SetRate(rate);
}
void TDODEDEV::SetVolume(int hundredthsOfDb) {
  if (Graph) Graph->SetVolume(hundredthsOfDb);
}

}  // namespace solka
