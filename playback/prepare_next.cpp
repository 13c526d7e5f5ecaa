// The track after the current one, named in advance and prepared to follow it without a gap.
// The end-of-track step still decides; it finds the prepared track already playing when its
// choice is that track.
#include "app/tdodedev.h"
#include "playlist/shuffle.h"

namespace solka {

TDODEDEV::AfterTrack TDODEDEV::StepAfterTrack(PlayMode mode) const {
  using Kind = AfterTrack::Kind;
  const int rows = form_.RowCount();
  const int current = CurrentIndex();
  const int next = current + 1;
  // A row started by a click, previous or next leaves LastEntryStarted behind; when that row
  // is the last one, the next row would lie past the end, which is the end of the list too.
  const bool listDone = sequence_.LastEntryStarted || next >= rows;
  if (rows == 0) return {Kind::EndRun};
  if (PlaysOnce(mode)) return listDone ? AfterTrack{Kind::EndOfList} : AfterTrack{Kind::Row, next};
  if (mode == PlayMode::ListEndless) return {Kind::Row, next >= rows ? 0 : next};
  if (mode == PlayMode::RandomEndless)
    return listDone ? AfterTrack{Kind::NewPass, 0} : AfterTrack{Kind::Row, next};
  if (mode == PlayMode::OneSong)
    return current == -1 ? AfterTrack{Kind::EndRun} : AfterTrack{Kind::Row, current};
  return {};
}

std::optional<std::string> TDODEDEV::NextTrackPath() {
  if (!sequence_.ContinuousPlay) return std::nullopt;
  const auto& list = list_.PlayList;
  const int size = static_cast<int>(list.size());
  if (size != form_.RowCount()) return std::nullopt;
  const AfterTrack step = StepAfterTrack(ModeForChoice(sequence_.Choice, sequence_.ModeCode));
  if (step.kind == AfterTrack::Kind::Row && step.row >= 0 && step.row < size) return list[step.row];
  if (step.kind != AfterTrack::Kind::NewPass) return std::nullopt;
  // The next pass is shuffled now, with the seed the end of this pass will use.
  if (!sequence_.NextPassSeed)
    sequence_.NextPassSeed = static_cast<std::uint32_t>(platform_.clock.EpochSeconds());
  return list[ShuffleOrder(list.size(), *sequence_.NextPassSeed, false).front()];
}

void TDODEDEV::PrepareNext() {
  // The end of a track prepares again once its choice has started.
  if (followOn_) return;
  const std::optional<std::string> path =
      Graph && playback_.Playing ? NextTrackPath() : std::nullopt;
  if (Next && path && *path == playback_.PreparedPath) return;
  DropNext();
  if (!path) return;
  Next = Graph->CreateFollower();
  if (!Next) return;
  // Its level holds from its first sample; its rate starts at normal speed, as every track's.
  Next->SetVolume(playback_.Volume);
  Next->Prepare(*path);
  playback_.PreparedPath = *path;
}

void TDODEDEV::DropNext() {
  Next.reset();
  playback_.PreparedPath.clear();
}

}  // namespace solka
