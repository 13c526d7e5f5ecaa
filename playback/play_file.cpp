// The playback graph of the current track: start, release, event drain and thin wrappers.
#include "app/tdodedev.h"
#include "playback/track_title.h"

namespace solka {

bool TDODEDEV::PlayFile(const std::string& path) {
  if (playback_.Playing) {
    StopGraph();
    ReleasePlayback();
  }
  const std::string title = TrackTitle(path, platform_.files.Syntax());

  std::unique_ptr<MediaGraph> graph = platform_.media.CreateGraph();
  // Its notifications come from the event loop, never during the calls below, so they find the
  // graph installed.
  if (graph) graph->SetNotify([this] { GraphNotify(); });
  // A back end that cannot even build a graph fails the start like a file that does not render.
  if (!graph || !graph->RenderFile(path)) {
    if (graph) graph->SetNotify(nullptr);
    graph.reset();
    ReleasePlayback();
    form_.SetCaption("再生できませんでした");
    return false;
  }

  graph->SetVolume(playback_.Volume);
  ShowVolume();
  graph->Run();
  playback_.Paused = false;
  playback_.DurationText = " / " + FormatClock(graph->Duration());
  SetGraph(std::move(graph));

  ShowPlaying(path, title);
  return true;
}

void TDODEDEV::SetGraph(std::unique_ptr<MediaGraph> graph) {
  if (Graph) Graph->SetNotify(nullptr);
  Graph = std::move(graph);
  playback_.Playing = Graph != nullptr;
  UpdateIdleLock();
}

void TDODEDEV::ReleasePlayback() {
  if (Graph) Graph->Stop();
  form_.SetLabelText(1, "");
  playback_.ReleasePending = false;
  SetGraph(nullptr);
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
  if (Graph && playback_.ReleasePending) ReleasePlayback();
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
