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
  if (Closing) return;
  Closing = true;

  if (Playing) {
    StopGraph();
    ReleasePlayback();
  }

  if (Settings.size() < kSettingsCount) Settings.resize(kSettingsCount);
  Settings[ListHide] = CompactView ? "1" : "0";
  // The two views keep their own top, so returning to a view puts the window where it was.
  Settings[CompactView ? Top2 : Top] = std::to_string(Form.Top());
  Settings[JukeMode] = std::to_string(ModeCode);
  Settings[Left] = std::to_string(Form.Left());
  Settings[ListFile] = ListMode ? "1" : "0";
  if (Settings[FileType].empty()) Settings[FileType] = "0";
  NowPlayingOn = Form.Checked("Messenger1");

  SaveSettings();

  const std::string appName = Setting(AppName);
  const bool runApp = SettingIs(Run_App, "1");

  platform_.loop.ProcessMessages();

  // A stick pulled out right after the player ends must still hold the settings just written.
  FileSystem& files = platform_.files;
  if (!SettingsFilePath.empty() &&
      files.TypeOfDrive(files.DriveOf(SettingsFilePath)) == DriveType::Removable) {
    files.FlushDrive(SettingsFilePath);
  }

  if (runApp && !appName.empty() && files.FileExists(appName)) {
    Form.SetCaption(std::string(kClosingCaption));
    platform_.clock.Sleep(kRunAppDelayMs);
    platform_.shell.Open(appName);
  }
}

}  // namespace solka
