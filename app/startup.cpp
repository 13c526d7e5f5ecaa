// The start-up sequence: where the settings live, the window restored from them, the first
// play list from the argument or the program's own drive, and the first idle moment that
// hides the window and starts play.
#include <string>

#include "app/tdodedev.h"
#include "base/paths.h"
#include "base/text.h"
#include "playback/tray_icons.h"
#include "playlist/media_types.h"

namespace solka {

namespace {

constexpr std::string_view kCompanionName = "qvz";

std::string TrackCountText(std::size_t count) {
  return " / " + std::to_string(count) + " 曲";
}

// Check marks of the order-of-play menu for a mode code; an unknown code marks nothing.
void ShowModeChecks(MainForm& form, int mode) {
  const bool listOrder = mode == 1 || mode == 2 || mode == 5;
  const bool random = mode == 3 || mode == 4;
  form.SetChecked("N1", listOrder);
  form.SetChecked("N2", random);
  form.SetChecked("R1", mode == 5);
  form.SetChecked("R2", mode == 1 || mode == 3);
  form.SetChecked("R3", mode == 2 || mode == 4);
}

}  // namespace

void TDODEDEV::FormCreate() {
  FileSystem& files = platform_.files;
  const PathSyntax syntax = files.Syntax();
  ProgramPath = process_.programPath;
  SettingsFolder = FolderOf(ProgramPath, syntax);
  if (!platform_.screen.MainWindowIsForeground()) {
    CompanionPath = WithDelimiter(SettingsFolder, syntax) + std::string(kCompanionName);
    CompanionAvailable = files.FileExists(CompanionPath);
  }
  // Optical media cannot hold the settings; an installed program's folder may not either,
  // unless a settings file there may still be rewritten in place.
  const bool fromCdRom = files.TypeOfDrive(files.DriveOf(ProgramPath)) == DriveType::CdRom;
  if (fromCdRom) {
    SettingsFolder = files.TempFolder();
  } else if (!files.IsWritableFolder(SettingsFolder) &&
             !files.IsWritableFile(WithDelimiter(SettingsFolder, syntax) +
                                   std::string(kSettingsFileName))) {
    SettingsFolder = files.UserConfigFolder();
    files.MakeFolders(SettingsFolder);
  }
  SettingsFilePath = WithDelimiter(SettingsFolder, syntax) + std::string(kSettingsFileName);
  ScreenHeight = platform_.screen.AvailableHeight();
  CaptionHeight = platform_.screen.CaptionHeight();

  Settings.assign(kSettingsCount, std::string());
  SelectedFolders.clear();
  SelectedListLines.clear();
  PlayList.Clear();
  StartFileSelected = false;
  InTray = false;
  LoadSettings();

  if (SettingIs(CloseBtn, "1")) Form.SetCloseBox(true);
  if (fromCdRom) {
    Settings[ListHide] = "1";
    Settings[AutoPlay] = "1";
  }
  if (!Setting(Left).empty()) Form.SetLeft(ToIntDef(Setting(Left), 0));
  CompactView = SettingIs(ListHide, "1");
  const Key topKey = CompactView ? Top2 : Top;
  Form.SetHeight(CompactView ? MainForm::kCompactHeight : MainForm::kFullHeight);
  if (!Setting(topKey).empty()) Form.SetTop(ToIntDef(Setting(topKey), 0));
  ModeCode = ToIntDef(Setting(JukeMode), 1);
  ShowModeChecks(Form, ModeCode);
  ListMode = SettingIs(ListFile, "1");
  Form.SetHintsShown(!SettingIs(Hint, "0"));
  SetPlayListSorted(SettingIs(Sort, "1"));

  Timer2->SetEnabled(false);
  SleepArmed = false;
  SleepAfterListEnd = false;
  NoSubFolderScan = false;
  FirstIdlePending = true;
  Playing = false;
  StartedWithFile = false;
  if (!process_.firstArgument.empty() || SettingIs(AutoPlay, "1"))
    BuildStartupList(process_.firstArgument);
  else
    platform_.loop.SetIdleHandler([this] { FirstIdle(); });
  ShowVolume();
  Form.SetActive(ActiveControl::None);
}

void TDODEDEV::BuildStartupList(const std::string& argument) {
  FileSystem& files = platform_.files;
  const PathSyntax syntax = files.Syntax();
  // Classified in its full form: "." or ".." is a folder, not an extension, and a relative
  // name is found again in the list the scan builds from full paths.
  const std::string target =
      argument.empty() ? files.DriveOf(ProgramPath) : files.FullPath(argument);
  if (SettingIs(SubFolder, "1")) NoSubFolderScan = true;
  ReferenceExtension = ExtensionOf(target, syntax);
  const auto installFirstIdle = [this] { platform_.loop.SetIdleHandler([this] { FirstIdle(); }); };

  if (ReferenceExtension.empty()) {
    ScanFolder(WithDelimiter(target, syntax));
    if (SettingIs(Sort, "1")) SetPlayListSorted(true);
    RefreshListBox();
    if (Form.RowCount() > 0) installFirstIdle();
  } else if (InColumn(ReferenceExtension, MediaColumn::StartUpArgument)) {
    ScanFolder(FolderWithDelimiter(target, syntax));
    RefreshListBox();
    StartedWithFile = true;
    installFirstIdle();
    Form.SetLabelText(2, Form.RowCount() > 0 ? TrackCountText(Form.RowCount()) : "");
    const int found = PlayList.IndexOfPreferExact(target);
    if (found >= 0) {
      SelectRow(found);
      Form.SetChecked("N9", false);
      ContinuousPlay = false;
      StartFileSelected = true;
      PlaySelected();
    }
  } else if (IsListFileExtension(ReferenceExtension, Match::Exact)) {
    if (LoadListFile(target)) {
      Form.SetLabelText(2, PlayList.empty() ? "" : TrackCountText(PlayList.size()));
      RefreshListBox();
      if (Form.RowCount() > 0) installFirstIdle();
    }
  }
  ReferenceExtension.clear();
}

void TDODEDEV::FirstIdle() {
  platform_.loop.SetIdleHandler(nullptr);
  Form.SetTrayIcon(kIdleIcon);
  Form.SetTrayHint(VersionText);
  const bool hasRows = Form.RowCount() > 0;
  if (hasRows) {
    if (SettingIs(Sort, "1")) SetPlayListSorted(true);
    FitScrollWidth();
    Form.SetLabelText(2, TrackCountText(Form.RowCount()));
  }
  NoSubFolderScan = false;
  if (!SettingIs(TaskButton, "1")) Form.SetTaskButtonVisible(false);
  ContinuousPlay = false;
  SetLabel1Color(Color::Black);
  if (FirstIdlePending && hasRows && !StartFileSelected) {
    FirstIdlePending = false;
    SpeedButton1Click();
    if (!StartedWithFile) {
      SelectRow(0);
      ToolButton5Click();
    } else {
      ContinuousPlay = true;
      SetLabel1Color(Color::Blue);
    }
  }
  StartedWithFile = false;

  if (Playing && Paused) {
    Form.SetTrayIcon(kIdleIcon);
    Form.SetTrayHint("Pause");
  } else if (Playing) {
    Form.SetTrayIcon(kPlayingIcon);
    Form.SetTrayHint(TrayHintFromCaption());
  } else {
    Form.SetTrayIcon(kIdleIcon);
    Form.SetTrayHint(VersionText);
  }
  platform_.loop.ProcessMessages();
}

}  // namespace solka
