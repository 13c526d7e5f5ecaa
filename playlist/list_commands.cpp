// The commands on the list as a whole: sort, shuffle, compact view and the tag display.

#include "app/tdodedev.h"
#include "base/text.h"
#include "playlist/list_file.h"
#include "playlist/shuffle.h"

namespace solka {

namespace {

constexpr std::size_t kTagBlockSize = 128;
constexpr std::size_t kTagFieldSize = 30;

// The path of the selected row's entry, or nothing when no row is selected.
std::optional<std::string> SelectedPath(const StringList& list, int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= list.size()) return std::nullopt;
  return list[row];
}

// A tag field: its bytes up to the first zero byte, trailing blanks kept.
std::string TagField(std::string_view bytes, const TextCodec& codec) {
  return LegacyTextToUtf8(bytes.substr(0, bytes.find('\0')), codec);
}

}  // namespace

void TDODEDEV::N19Click() {
  const std::optional<std::string> remembered = SelectedPath(list_.PlayList, CurrentIndex());
  SetPlayListSorted(true);
  RefreshListBox();
  if (remembered) SelectRow(list_.PlayList.IndexOfPreferExact(*remembered));
}

void TDODEDEV::N20Click() {
  const std::optional<std::string> remembered = SelectedPath(list_.PlayList, CurrentIndex());
  if (list_.PlayList.empty()) return;
  SetPlayListSorted(false);
  SetListBoxSorted(false);
  ShufflePlayList(true);
  if (remembered) list_.PlayList.Move(list_.PlayList.IndexOfPreferExact(*remembered), 0);
  RefreshListBox();
  if (remembered) SelectRow(0);
}

void TDODEDEV::ShufflePlayList(bool avoidFirst) {
  // A shuffled list is no longer in path order; left sorted, additions would land anywhere.
  SetPlayListSorted(false);
  auto seed = static_cast<std::uint32_t>(platform_.clock.EpochSeconds());
  // A new random pass takes the order drawn when its first track was prepared.
  if (!avoidFirst && sequence_.NextPassSeed) seed = *sequence_.NextPassSeed;
  sequence_.NextPassSeed.reset();
  list_.PlayList.Reorder(ShuffleOrder(list_.PlayList.size(), seed, avoidFirst));
}

void TDODEDEV::listmode1Click() {
  if (!window_.CompactView) {
    form_.SetTop(ToIntDef(Setting(Top2), form_.Top()));
    form_.SetHeight(MainForm::kCompactHeight);
    window_.CompactView = true;
    // The list is out of sight now, so the pointer has left it, whether or not the desktop
    // says so: the wheel and the volume double-click belong to the window again.
    if (window_.MouseOverList) FIListBox1MouseLeave();
    return;
  }
  const int top = form_.Top();
  if (form_.PositionReported()) settings_.Set(Top2, std::to_string(top));
  form_.SetHeight(MainForm::kFullHeight);
  window_.CompactView = false;
  // Bring the enlarged window's bottom edge back onto the screen.
  if (form_.PositionReported() && top > window_.ScreenHeight - MainForm::kFullHeight) {
    settings_.Set(Top, std::to_string(top));
    form_.SetTop(window_.ScreenHeight + window_.CaptionHeight - MainForm::kFullHeight);
  }
}

void TDODEDEV::AG1Click() {
  const std::optional<std::string> path = SelectedPath(list_.PlayList, CurrentIndex());
  if (!path) return;
  ReadTag(*path);
  platform_.dialogs.MessageBox(track_.TagTitle + ":" + track_.TagArtist, "TAG");
}

void TDODEDEV::ReadTag(const std::string& path) {
  track_.TagTitle.clear();
  track_.TagArtist.clear();
  // A file too short for the block, or one whose block lacks its marker, has no tag to show.
  const std::optional<std::uint64_t> size = platform_.files.FileSize(path);
  if (!size || *size < kTagBlockSize) return;
  const ReadResult block =
      platform_.files.ReadRange(path, *size - kTagBlockSize, 3 + 2 * kTagFieldSize);
  if (!block.ok || block.bytes.size() < 3 + 2 * kTagFieldSize || block.bytes.substr(0, 3) != "TAG")
    return;
  const std::string_view bytes = block.bytes;
  track_.TagTitle = TagField(bytes.substr(3, kTagFieldSize), platform_.codec);
  track_.TagArtist = TagField(bytes.substr(3 + kTagFieldSize, kTagFieldSize), platform_.codec);
}

}  // namespace solka
