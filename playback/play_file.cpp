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
  if (Playing) {
    StopGraph();
    ReleasePlayback();
  }
  const std::string title = TrackTitle(path, platform_.files.Syntax());

  Graph = platform_.media.CreateGraph();
  if (Graph) Graph->SetNotify([this] { GraphNotify(); });
  // A back end that cannot even build a graph fails the start like a file that does not render.
  const RenderResult rendered =
      Graph ? Graph->RenderFile(path) : RenderResult::Failure("no playback graph");
  if (!rendered) {
    ReleasePlayback();
    Form.SetCaption("再生できませんでした");
    platform_.diagnostics.Warn("cannot play \"" + path + "\": " + Reason(rendered.reason));
    return false;
  }
  Failures.path = path;
  Failures.ended = false;

  Graph->SetVolume(Volume);
  ShowVolume();
  Graph->Run();
  Paused = false;
  DurationText = " / " + FormatClock(Graph->Duration());
  Playing = true;

  ShowPlaying(path, title);
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
  ClearTrack();
  ShowIdle();
}

void TDODEDEV::GraphNotify() {
  if (!Graph) return;
  MediaEvent event;
  // The end-of-track step may release the graph or replace it; the loop follows whatever graph
  // exists after each event.
  while (Graph && Graph->GetEvent(event)) {
    if (event.kind == MediaEvent::Kind::Ended) {
      Failures.ended = true;
      Failures.inRow = 0;
      EndOfTrack();
    } else if (!Failures.ended) {
      // A track that breaks down ends as if it had played out, so an unattended run goes on
      // instead of waiting for an end that never comes. Once: a decoder that gives up may
      // report several errors, and an error may follow the end it caused.
      Failures.ended = true;
      platform_.diagnostics.Warn("playback of \"" + Failures.path +
                                 "\" failed: " + Reason(event.reason));
      TrackBrokeDown();
    }
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
// A seek sends the data again, so the track can end once more.
void TDODEDEV::Seek(double seconds) {
  if (!Graph) return;
  Graph->SetPosition(seconds);
  Failures.ended = false;
}
double TDODEDEV::Rate() {
  return Graph ? Graph->Rate() : 1.0;
}
void TDODEDEV::SetRate(double rate) {
  if (!Graph) return;
  Graph->SetRate(rate);
  Failures.ended = false;  // a new rate is a seek to where it plays
}
void TDODEDEV::SetVolume(int hundredthsOfDb) {
  if (Graph) Graph->SetVolume(hundredthsOfDb);
}

}  // namespace solka
