// The playback graph of the current track: start, release, event drain and thin wrappers.
#include "app/tdodedev.h"
#include "playback/track_title.h"

namespace solka {

namespace {
std::string Reason(const std::string& reason) {
  return reason.empty() ? "no reason given" : reason;
}
}  // namespace

bool TDODEDEV::PlayFile(const std::string& path) {
  // At the end of a track, the prepared follower of this very file already plays; anything else
  // prepared goes.
  std::unique_ptr<MediaGraph> graph;
  if (std::exchange(followOn_, false) && Next && playback_.PreparedPath == path)
    graph = std::move(Next);
  // A track reports its end while its last samples are still being heard; a pause pressed then
  // holds, and the follower waits at its start.
  const bool holdPause = graph && playback_.Paused;
  DropNext();
  if (playback_.Playing) {
    StopGraph();
    ReleasePlayback();
  }
  const std::string title = TrackTitle(path, platform_.files.Syntax());

  if (!graph) graph = platform_.media.CreateGraph();
  // Its notifications come from the event loop, never during the calls below, so they find the
  // graph installed.
  if (graph) graph->SetNotify([this] { GraphNotify(); });
  // Before the render: the graph prerolls its first buffers into the output there, and a level
  // set afterwards would let them through at full volume (a burst at every track change).
  if (graph) graph->SetVolume(playback_.Volume);
  // A back end that cannot even build a graph fails the start like a file that does not render.
  const RenderResult rendered =
      graph ? graph->RenderFile(path) : RenderResult::Failure("no playback graph");
  if (!rendered) {
    if (graph) graph->SetNotify(nullptr);
    graph.reset();
    ReleasePlayback();
    form_.SetCaption("再生できませんでした");
    platform_.diagnostics.Warn("cannot play \"" + path + "\": " + Reason(rendered.reason));
    return false;
  }
  playback_.Failures.ended = false;

  ShowVolume();
  if (!holdPause) graph->Run();
  playback_.Paused = false;
  playback_.DurationText = " / " + FormatClock(graph->Duration());
  SetGraph(std::move(graph));
  playback_.PlayingPath = path;
  playback_.PlayingTitle = title;

  ShowPlaying(path, title);
  if (holdPause) PauseOrResume();
  PrepareNext();
  return true;
}

void TDODEDEV::SetGraph(std::unique_ptr<MediaGraph> graph) {
  if (Graph) Graph->SetNotify(nullptr);
  Graph = std::move(graph);
  playback_.Playing = Graph != nullptr;
  UpdateIdleLock();
  UpdatePositionTimer();
}

void TDODEDEV::ReleasePlayback() {
  DropNext();
  if (Graph) Graph->Stop();
  form_.SetLabelText(1, "");
  playback_.ReleasePending = false;
  SetGraph(nullptr);
  playback_.PlayingPath.clear();
  playback_.PlayingTitle.clear();
  ClearTrack();
  ShowIdle();
}

void TDODEDEV::GraphNotify() {
  if (!Graph) return;
  MediaEvent event;
  TrackFailures& failures = playback_.Failures;
  // The end-of-track step may release the graph or replace it; the loop follows whatever graph
  // exists after each event.
  while (Graph && Graph->GetEvent(event)) {
    if (event.kind == MediaEvent::Kind::Ended) {
      failures.ended = true;
      failures.Reset();
      followOn_ = true;
      EndOfTrack();
      followOn_ = false;
    } else if (!failures.ended) {
      // A track that breaks down ends as if it had played out, so an unattended run goes on
      // instead of waiting for an end that never comes. Once: a decoder that gives up may
      // report several errors, and an error may follow the end it caused.
      failures.ended = true;
      platform_.diagnostics.Warn("playback of \"" + playback_.PlayingPath +
                                 "\" failed: " + Reason(event.reason));
      TrackBrokeDown();
    }
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
// A seek sends the data again, so the track can end once more.
void TDODEDEV::Seek(double seconds) {
  if (!Graph) return;
  Graph->SetPosition(seconds);
  playback_.Failures.ended = false;
}
double TDODEDEV::Rate() {
  return Graph ? Graph->Rate() : 1.0;
}
void TDODEDEV::SetRate(double rate) {
  if (!Graph) return;
  Graph->SetRate(rate);
  playback_.Failures.ended = false;  // a new rate is a seek to where it plays
}
void TDODEDEV::SetVolume(int hundredthsOfDb) {
  if (Graph) Graph->SetVolume(hundredthsOfDb);
}

}  // namespace solka
