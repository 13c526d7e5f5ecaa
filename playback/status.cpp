// The status texts: window caption, application title, window hint, the three labels of the
// status panel, and the tray icon with its hint.
#include <string>

#include "app/tdodedev.h"
#include "base/text.h"
#include "playback/track_title.h"
#include "playback/tray_icons.h"

namespace solka {

namespace {
constexpr std::size_t kTrayHintLimit = 63;
constexpr std::size_t kTrayHintCut = 60;
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
  if (caption.size() <= kTrayHintLimit) return caption;
  return std::string(CutUtf8(caption, kTrayHintCut)) + "...";
}

}  // namespace solka
