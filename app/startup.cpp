// The start-up sequence: where the settings live, the window restored from them, the first
// play list from the argument or the program's own drive, and the first idle moment that
// hides the window and starts play.
#include <string>

#include "app/settings_place.h"
#include "app/single_instance.h"
#include "app/tdodedev.h"
#include "base/paths.h"
#include "base/text.h"
#include "playback/tray_icons.h"
#include "playlist/count_label.h"
#include "playlist/given_path.h"

namespace solka {

namespace {

constexpr std::string_view kCompanionName = "qvz";

}  // namespace

void TDODEDEV::FormCreate() {
  FileSystem& files = platform_.files;
  const PathSyntax syntax = files.Syntax();
  startup_.ProgramPath = process_.programPath;
  startup_.SettingsFolder = FolderOf(startup_.ProgramPath, syntax);
  if (!platform_.screen.MainWindowIsForeground()) {
    companion_.CompanionPath = WithDelimiter(startup_.SettingsFolder, syntax) +
                               std::string(kCompanionName) + syntax.programSuffix;
    companion_.CompanionAvailable = files.FileExists(companion_.CompanionPath);
  }
  const SettingsPlace place = ChooseSettingsPlace(startup_.ProgramPath, files);
  const bool fromCdRom = place.fromCdRom;
  startup_.SettingsFolder = place.folder;
  startup_.InstalledProgram = place.installed;
  startup_.SettingsFilePath =
      WithDelimiter(startup_.SettingsFolder, syntax) + std::string(kSettingsFileName);
  window_.ScreenHeight = platform_.screen.AvailableHeight();
  window_.CaptionHeight = platform_.screen.CaptionHeight();

  settings_.Clear();
  list_.SelectedFolders.clear();
  list_.SelectedListLines.clear();
  list_.PlayList.Clear();
  startup_.StartFileSelected = false;
  window_.InTray = false;
  LoadSettings();

  if (SettingIs(CloseBtn, "1")) form_.SetCloseBox(true);
  if (fromCdRom) {
    settings_.Set(ListHide, "1");
    settings_.Set(AutoPlay, "1");
  }
  if (!Setting(Left).empty()) form_.SetLeft(ToIntDef(Setting(Left), 0));
  window_.CompactView = SettingIs(ListHide, "1");
  const Key topKey = window_.CompactView ? Top2 : Top;
  form_.SetHeight(window_.CompactView ? MainForm::kCompactHeight : MainForm::kFullHeight);
  if (!Setting(topKey).empty()) form_.SetTop(ToIntDef(Setting(topKey), 0));
  sequence_.ModeCode = PlayModeFromText(Setting(JukeMode));
  sequence_.Choice = ChoiceForMode(sequence_.ModeCode);
  ShowModeChecks();
  list_.ListMode = SettingIs(ListFile, "1");
  form_.SetHintsShown(!SettingIs(Hint, "0"));
  SetPlayListSorted(SettingIs(Sort, "1"));

  SetSleepDeadline(std::nullopt);
  sleep_.SleepAfterListEnd = false;
  list_.NoSubFolderScan = false;
  startup_.FirstIdlePending = true;
  form_.SetAcceptsDrops(true);
  startup_.StartedWithFile = false;
  if (!process_.firstArgument.empty() || SettingIs(AutoPlay, "1"))
    BuildStartupList(process_.firstArgument);
  else
    platform_.loop.SetIdleHandler([this] { FirstIdle(); });
  ShowVolume();
  form_.SetActive(ActiveControl::None);
}

void TDODEDEV::BuildStartupList(const std::string& argument) {
  FileSystem& files = platform_.files;
  const PathSyntax syntax = files.Syntax();
  // Classified in its full form: "." or ".." is a folder, not an extension, and a relative
  // name is found again in the list the scan builds from full paths.
  const std::string target = !argument.empty()           ? files.FullPath(argument)
                             : startup_.InstalledProgram ? files.MusicFolder()
                                                         : files.DriveOf(startup_.ProgramPath);
  // A mistyped path must not stand for the folder around it (for "/x.mp3", the whole root):
  // the window shows with an empty list and the terminal says why.
  if (!argument.empty() && argument != kNextTrackCommand && NamesNothing(files, target)) {
    platform_.diagnostics.Warn(NamesNothingLine(target));
    return;
  }
  if (SettingIs(SubFolder, "1")) list_.NoSubFolderScan = true;
  const GivenPath given = ClassifyGivenPath(files, target);
  list_.ReferenceExtension = given.extension;
  const auto installFirstIdle = [this] { platform_.loop.SetIdleHandler([this] { FirstIdle(); }); };

  if (given.kind == GivenKind::Folder) {
    ScanFolder(WithDelimiter(target, syntax));
    if (SettingIs(Sort, "1")) SetPlayListSorted(true);
    RefreshListBox();
    if (form_.RowCount() > 0) installFirstIdle();
  } else if (given.kind == GivenKind::Track) {
    ScanFolder(FolderWithDelimiter(target, syntax), target);
    RefreshListBox();
    startup_.StartedWithFile = true;
    installFirstIdle();
    form_.SetLabelText(2, form_.RowCount() > 0 ? TrackCountText(form_.RowCount()) : "");
    const int found = list_.PlayList.IndexOfPreferExact(target);
    if (found >= 0) {
      SelectRow(found);
      form_.SetChecked("N9", false);
      sequence_.ContinuousPlay = false;
      startup_.StartFileSelected = true;
      // Started from the event loop, before its first idle step (and before any hand-over): the
      // window is on the screen first, as the track's graph takes longer to build than the
      // window to show.
      platform_.loop.Post([this, alive = std::weak_ptr<char>(lifetime_)] {
        if (alive.lock() && !window_.Closing) PlaySelected();
      });
    }
  } else if (given.kind == GivenKind::List) {
    if (LoadListFile(target)) {
      form_.SetLabelText(2, list_.PlayList.empty() ? "" : TrackCountText(list_.PlayList.size()));
      RefreshListBox();
      if (form_.RowCount() > 0) installFirstIdle();
    }
  }
  list_.ReferenceExtension.clear();
  // Meant for the start-up scan only, also when there was none (a path that does not exist).
  list_.NoSubFolderScan = false;
}

void TDODEDEV::FirstIdle() {
  platform_.loop.SetIdleHandler(nullptr);
  form_.SetTrayIcon(kIdleIcon);
  form_.SetTrayHint(VersionText);
  const bool hasRows = form_.RowCount() > 0;
  if (hasRows) {
    if (SettingIs(Sort, "1")) SetPlayListSorted(true);
    form_.SetLabelText(2, TrackCountText(form_.RowCount()));
  }
  list_.NoSubFolderScan = false;
  if (!SettingIs(TaskButton, "1")) form_.SetTaskButtonVisible(false);
  sequence_.ContinuousPlay = false;
  SetLabel1Color(Color::Black);
  if (startup_.FirstIdlePending && hasRows && !startup_.StartFileSelected) {
    startup_.FirstIdlePending = false;
    SpeedButton1Click();
    if (!startup_.StartedWithFile) {
      SelectRow(0);
      ToolButton5Click();
    } else {
      sequence_.ContinuousPlay = true;
      SetLabel1Color(Color::Blue);
      PrepareNext();  // the file's track started before the run did
    }
  }
  startup_.StartedWithFile = false;
  // Once the first track has started: measuring the rows of a long list must not hold up the
  // music (and a window hidden to the tray measures when it is shown).
  if (hasRows) FitScrollWidth();

  if (playback_.Playing && playback_.Paused) {
    form_.SetTrayIcon(kIdleIcon);
    form_.SetTrayHint("Pause");
  } else if (playback_.Playing) {
    form_.SetTrayIcon(kPlayingIcon);
    form_.SetTrayHint(TrayHintFromCaption());
  } else {
    form_.SetTrayIcon(kIdleIcon);
    form_.SetTrayHint(VersionText);
  }
  platform_.loop.ProcessMessages();
}

}  // namespace solka
