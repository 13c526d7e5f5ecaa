// The status texts: window caption, application title, window hint, the three labels of the
// status panel, and the tray icon with its hint.
#include <algorithm>
#include <string>

#include "app/tdodedev.h"
#include "base/text.h"
#include "playback/track_title.h"
#include "playback/tray_icons.h"

namespace solka {

namespace {
constexpr std::size_t kTrayHintLimit = 63;
constexpr std::size_t kTrayHintCut = 60;

// The longest start of `text`, in whole characters, that takes at most `limit` bytes in the
// system's code page.
std::string_view CutToSystemLength(const TextCodec& codec, std::string_view text,
                                   std::size_t limit) {
  std::size_t used = 0, end = 0;
  while (end < text.size()) {
    const std::size_t length = std::max<std::size_t>(Utf8SequenceLength(text, end), 1);
    used += codec.SystemLength(text.substr(end, length));
    if (used > limit) break;
    end += length;
  }
  return text.substr(0, end);
}
}  // namespace

void TDODEDEV::Timer1Timer() {
  if (!playback_.Playing) return;
  form_.SetLabelText(1, FormatClock(Position()) + playback_.DurationText);
  form_.SetLabelText(2, std::to_string(CurrentIndex() + 1) + " / " +
                            std::to_string(list_.PlayList.size()) + " 曲");
}

void TDODEDEV::UpdatePositionTimer() {
  Timer1->SetEnabled(playback_.Playing && form_.Visible());
}

void TDODEDEV::ShowPlaying(const std::string& path, const std::string& title) {
  const PathSyntax syntax = platform_.files.Syntax();
  // The bracket is followed by a full-width space.
  form_.SetWindowHint("[" + FolderNameOf(path, syntax) + "]　" + title + " (" +
                      NameExtension(path, syntax) + ")");
  form_.SetAppTitle(form_.WindowHint());
  form_.SetCaption(title);
  AnnounceTrack(title);
  form_.SetTrayIcon(kPlayingIcon);
  form_.SetTrayHint(TrayHintFromCaption());
}

void TDODEDEV::ShowIdle() {
  form_.SetTrayIcon(kIdleIcon);
  form_.SetTrayHint(VersionText);
  form_.SetWindowHint(VersionText);
  form_.SetAppTitle(form_.WindowHint());
  form_.SetCaption(VersionText);
}

void TDODEDEV::ShowVolume() {
  // Wide arithmetic: a level read from the settings file may be any 32-bit number.
  const long long shown = (static_cast<long long>(playback_.Volume) + 10000) / 100;
  form_.SetLabelText(3, std::to_string(shown));
}

std::string TDODEDEV::TrayHintFromCaption() const {
  const std::string& caption = form_.Caption();
  // Counted in the system's code page, where the limit was made: a Japanese title of 24
  // characters is 48 bytes there and shows whole.
  if (platform_.codec.SystemLength(caption) <= kTrayHintLimit) return caption;
  return std::string(CutToSystemLength(platform_.codec, caption, kTrayHintCut)) + "...";
}

}  // namespace solka
