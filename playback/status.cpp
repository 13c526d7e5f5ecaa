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
  if (!Playing) return;
  Form.SetLabelText(1, FormatClock(Position()) + DurationText);
  Form.SetLabelText(
      2, std::to_string(CurrentIndex() + 1) + " / " + std::to_string(PlayList.size()) + " 曲");
}

void TDODEDEV::ShowPlaying(const std::string& path, const std::string& title) {
  const PathSyntax syntax = platform_.files.Syntax();
  // The bracket is followed by a full-width space.
  Form.SetWindowHint("[" + FolderNameOf(path, syntax) + "]　" + title + " (" +
                     NameExtension(path, syntax) + ")");
  Form.SetAppTitle(Form.WindowHint());
  Form.SetCaption(title);
  AnnounceTrack(title);
  Form.SetTrayIcon(kPlayingIcon);
  Form.SetTrayHint(TrayHintFromCaption());
}

void TDODEDEV::ShowIdle() {
  Form.SetTrayIcon(kIdleIcon);
  Form.SetTrayHint(VersionText);
  Form.SetWindowHint(VersionText);
  Form.SetAppTitle(Form.WindowHint());
  Form.SetCaption(VersionText);
}

void TDODEDEV::ShowVolume() {
  // Wide arithmetic: a level read from the settings file may be any 32-bit number.
  const long long shown = (static_cast<long long>(Volume) + 10000) / 100;
  Form.SetLabelText(3, std::to_string(shown));
}

std::string TDODEDEV::TrayHintFromCaption() const {
  const std::string& caption = Form.Caption();
  if (caption.size() <= kTrayHintLimit) return caption;
  return std::string(CutUtf8(caption, kTrayHintCut)) + "...";
}

}  // namespace solka
