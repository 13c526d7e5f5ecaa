// Closing the main window: playback stops, the window state joins the settings, the settings
// file is written and flushed to a removable medium, and the program the user chose is opened.
#include <string>

#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::ToolButton11Click() {
  // The close event does the rest, whichever way the window was closed.
  platform_.screen.CloseMainWindow();
}

namespace {
constexpr std::string_view kClosingCaption = "終了しています･･･";
constexpr int kRunAppDelayMs = 2000;
}  // namespace

void TDODEDEV::FormClose() {
  // Pending messages run in the middle of the close; a second close request among them must
  // not save again or start the chosen program twice.
  if (window_.Closing) return;
  window_.Closing = true;

  if (playback_.Playing) {
    StopGraph();
    ReleasePlayback();
  }

  settings_.Set(ListHide, window_.CompactView ? "1" : "0");
  // The two views keep their own top, so returning to a view puts the window where it was.
  if (form_.PositionReported()) {
    settings_.Set(window_.CompactView ? Top2 : Top, std::to_string(form_.Top()));
    settings_.Set(Left, std::to_string(form_.Left()));
  }
  settings_.Set(JukeMode, PlayModeText(sequence_.ModeCode));
  settings_.Set(ListFile, list_.ListMode ? "1" : "0");
  if (settings_[FileType].empty()) settings_.Set(FileType, "0");
  track_.NowPlayingOn = form_.Checked("Messenger1");

  SaveSettings();

  const std::string appName = Setting(AppName);
  const bool runApp = SettingIs(Run_App, "1");

  platform_.loop.ProcessMessages();

  // A stick pulled out right after the player ends must still hold the settings just written.
  FileSystem& files = platform_.files;
  if (!startup_.SettingsFilePath.empty() &&
      files.TypeOfDrive(files.DriveOf(startup_.SettingsFilePath)) == DriveType::Removable) {
    files.FlushDrive(startup_.SettingsFilePath);
  }

  if (runApp && !appName.empty() && files.FileExists(appName)) {
    form_.SetCaption(std::string(kClosingCaption));
    platform_.clock.Sleep(kRunAppDelayMs);
    platform_.shell.Open(appName);
  }
}

}  // namespace solka
