// A path (or the command word) handed over by a second start of the program.

#include "app/single_instance.h"
#include "app/tdodedev.h"
#include "base/paths.h"
#include "playlist/count_label.h"
#include "playlist/given_path.h"

namespace solka {

std::uint32_t TDODEDEV::WMCopyData(const CopyData& message) {
  // A frame that is no hand-over, or a text no path can be, changes nothing.
  if (const std::uint32_t answer = CheckHandOver(message, platform_.files);
      answer != kHandOverTaken) {
    if (answer == kHandOverMissing)
      platform_.diagnostics.Warn(
          NamesNothingLine(message.bytes.substr(0, message.bytes.find('\0'))));
    return answer;
  }
  // A start without an argument means "show me the player", never "play the whole drive".
  if (message.bytes.empty()) {
    N11Click();
    return kHandOverTaken;
  }
  std::string path = message.bytes.substr(0, message.bytes.find('\0'));
  // Acted on from the loop once the sender has its answer: what it does may wait for the user
  // (a message box), and the sender must not. The newest request replaces one still waiting.
  handOver_.Pending = std::move(path);
  if (!handOver_.Posted) {
    handOver_.Posted = true;
    platform_.loop.Post([this, alive = std::weak_ptr<char>(lifetime_)] {
      if (alive.lock()) RunHandOvers();
    });
  }
  return kHandOverTaken;
}

void TDODEDEV::RunHandOvers() {
  handOver_.Posted = false;
  // One at a time: the request that arrives while a box of this one is up waits for it.
  if (handOver_.Running) return;
  handOver_.Running = true;
  // Also when an exception leaves (the loop reports it and goes on): later ones must still run.
  struct Done {
    HandOverState& state;
    ~Done() { state.Running = false; }
  } done{handOver_};
  while (handOver_.Pending && !window_.Closing) {
    const std::string path = std::move(*handOver_.Pending);
    handOver_.Pending.reset();
    // A file of a type the player does not play builds nothing: the music goes on.
    if (path != kNextTrackCommand &&
        ClassifyGivenPath(platform_.files, path).kind == GivenKind::Other &&
        platform_.files.FileExists(path)) {
      platform_.diagnostics.Warn("not a type the player plays: \"" + path + "\"");
      platform_.screen.BringToFront();
      continue;
    }
    if (playback_.Playing) {
      StopGraph();
      ReleasePlayback();
    }
    BuildListFromPath(path);
  }
  handOver_.Pending.reset();
}

void TDODEDEV::BuildListFromPath(const std::string& path) {
  const PathSyntax syntax = platform_.files.Syntax();
  const GivenPath given = ClassifyGivenPath(platform_.files, path);
  list_.ReferenceExtension = given.extension;
  if (SettingIs(SubFolder, "1")) list_.NoSubFolderScan = true;
  // A folder or list starts a run as the start-up does, from the first row of the new order;
  // nothing an earlier run left behind (its end, its last row) cuts it short.
  const auto startRun = [this] {
    sequence_.ContinuousPlay = false;
    SelectRow(0);
    ToolButton5Click();
  };
  // A file starts a run at its own row; like a start-up file, it is not passed over when it
  // cannot be played.
  const auto playFrom = [this](int row) {
    SelectRow(row);
    sequence_.ContinuousPlay = true;
    form_.SetChecked("N9", true);
    SetLabel1Color(Color::Blue);
    sequence_.LastEntryStarted = false;  // an earlier run's last row must not end this one
    playback_.Failures.Reset();
    FIListBox1Click();
  };

  if (given.kind != GivenKind::Folder && path == kNextTrackCommand) {
    ToolButton7Click();
  } else if (given.kind == GivenKind::Folder) {
    list_.PlayList.Clear();
    ScanFolder(WithDelimiter(path, syntax));
    if (SettingIs(Sort, "1")) SetPlayListSorted(true);
    RefreshListBox();
    if (form_.RowCount() > 0) startRun();
  } else if (given.kind == GivenKind::Track) {
    list_.PlayList.Clear();
    ScanFolder(FolderWithDelimiter(path, syntax), path);
    if (SettingIs(Sort, "1")) SetPlayListSorted(true);
    RefreshListBox();
    form_.SetLabelText(2, TrackCountText(list_.PlayList.size()));
    // The file itself, even where another differs from it in case only.
    const int row = list_.PlayList.IndexOfPreferExact(path);
    if (row >= 0) playFrom(row);
  } else if (given.kind == GivenKind::List) {
    if (LoadListFile(path)) {
      RefreshListBox();
      form_.SetLabelText(2, TrackCountText(list_.PlayList.size()));
      if (form_.RowCount() > 0) startRun();
    }
  }
  list_.ReferenceExtension.clear();
  list_.NoSubFolderScan = false;
  form_.SetLabelText(2, TrackCountText(list_.PlayList.size()));
  FitScrollWidth();
  platform_.screen.BringToFront();
}

}  // namespace solka
