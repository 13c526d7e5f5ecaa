// The main window object: the player. It owns the settings, the play list, the playback graph
// of the current track and every state flag; the handlers below are the whole public surface.
// Their definitions live with their subsystem (app/, settings/, playlist/, playback/, power/,
// desktop/); this class only gathers the state they share.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform_services.h"
#include "base/string_list.h"
#include "form/commands.h"
#include "form/main_form.h"
#include "settings/keys.h"

namespace solka {

class IniFile;

class TDODEDEV {
 public:
  TDODEDEV(PlatformServices& platform, ProcessInfo process);
  ~TDODEDEV();
  TDODEDEV(const TDODEDEV&) = delete;
  TDODEDEV& operator=(const TDODEDEV&) = delete;

  // --- State (fields of the window object) -------------------------------------------------
  MainForm Form;  // designed controls: caption, labels, list rows, menus' check marks, tray

  std::vector<std::string> Settings;  // kSettingsCount texts, entry i = key i
  std::vector<std::string> SelectedFolders;
  std::vector<std::string> SelectedListLines;
  StringList PlayList;

  std::string SettingsFilePath;
  std::string SettingsFolder;
  std::string DurationText;
  std::string ProgramPath;
  std::string ReferenceExtension;
  std::string SleepDeadline;
  std::string TagTitle, TagArtist;
  std::string CompanionPath;
  const std::string VersionText = "DODEDEV 1.7.2.0";

  bool SleepArmed = false;
  bool SleepAfterListEnd = false;
  bool Playing = false;
  bool Paused = false;
  bool ReleasePending = false;
  bool CompactView = false;
  bool ContinuousPlay = false;
  bool ListMode = false;
  bool ListBoxSorted = false;
  bool InTray = false;
  bool StartedWithFile = false;
  bool NoSubFolderScan = false;
  bool FirstIdlePending = false;
  bool StartFileSelected = false;
  bool MouseOverList = false;
  bool LastEntryStarted = false;
  bool MonitorPower = false;
  bool NowPlayingOn = false;
  bool CompanionAvailable = false;
  bool Closing = false;  // FormClose has begun; a second close request finds it set

  int ModeCode = 1;  // JukeMode
  int Volume = 0;    // hundredths of a decibel
  int ScreenHeight = 0;
  int CaptionHeight = 0;
  long long CompanionStartedAt = -1;  // epoch second of the last companion start

  std::unique_ptr<MediaGraph> Graph;  // the playback graph of the current track, or null
  std::unique_ptr<Timer> Timer1;      // position display, 100 ms
  std::unique_ptr<Timer> Timer2;      // sleep deadline, 1000 ms while armed

  const std::string& Setting(Key key) const { return Settings[key]; }
  bool SettingIs(Key key, std::string_view value) const { return Settings[key] == value; }
  int CurrentIndex() const { return Form.ItemIndex(); }
  void SelectRow(int row) { Form.SetItemIndex(row); }
  bool PlayListSorted() const { return PlayList.Sorted(); }
  void SetPlayListSorted(bool sorted) { PlayList.SetSorted(sorted); }
  PlatformServices& Platform() { return platform_; }

  // --- Start-up (app/startup.cpp) ----------------------------------------------------------
  void FormCreate();
  void FirstIdle();

  // --- Shutdown (app/shutdown.cpp) ---------------------------------------------------------
  void ToolButton11Click();  // also Exit1
  void FormClose();

  // --- Command bindings (app/bindings.cpp): a control or menu item by its designed name ------
  // Returns false when the name is bound to nothing.
  bool Click(std::string_view control);
  void FormKeyDown(KeyCode key);

  // --- Settings (settings/load_save.cpp) ---------------------------------------------------
  void LoadSettings();
  void SaveSettings();
  void SaveDialogSettings();

  // --- Folder scanning (playlist/scan.cpp) -------------------------------------------------
  void ScanFolder(const std::string& folder);

  // --- List files (playlist/list_file_commands.cpp) ----------------------------------------
  // Reads the list file into SelectedListLines and replaces PlayList with it; false (after the
  // message box) when the file cannot be read.
  bool LoadListFile(const std::string& path);
  void N4Click();

  // --- List box and list commands (playlist/list_box.cpp, playlist/list_commands.cpp) -------
  void RefreshListBox();
  void FitScrollWidth();
  void FIListBox1Click();
  void N19Click();
  void N20Click();
  void ShufflePlayList(bool avoidFirst);
  void listmode1Click();
  void AG1Click();
  void ReadTag(const std::string& path);
  void SetListBoxSorted(bool sorted);

  // --- Playback graph (playback/play_file.cpp) ---------------------------------------------
  bool PlayFile(const std::string& path);
  void ReleasePlayback();
  void GraphNotify();
  void PauseGraph();
  void ResumeGraph();
  void StopGraph();
  double Position();
  double Duration();
  void Seek(double seconds);
  double Rate();
  void SetRate(double rate);
  void SetVolume(int hundredthsOfDb);

  // --- Sequencing (playback/sequencing.cpp) ------------------------------------------------
  void UpdatePlayMode();
  void PlaySelected();
  void ToolButton5Click();              // also N9, F8
  void N1Click(std::string_view item);  // N1, N2, R1, R2, R3
  void EndOfTrack();
  void AdvanceAfterTrack();
  void EndRun();
  void ToolButton3Click();  // previous; also N6, Up
  void ToolButton7Click();  // next; also N5, Down

  // --- Transport (playback/transport.cpp) --------------------------------------------------
  void pauseButtonClick();
  void N17Click();
  void ToolButton9MouseDown(bool rightButtonPressed);
  void ToolButton9Click();  // also N7, Esc
  void Label1Click();
  void Label2Click();
  void FormMouseWheelUp();
  void FormMouseWheelDown();
  void Label3DblClick();

  // --- Status display (playback/status.cpp) ------------------------------------------------
  void Timer1Timer();
  void ShowPlaying(const std::string& path, const std::string& title);
  void ShowIdle();
  void ShowVolume();
  void SetLabel1Color(Color color) { Form.SetLabelColor(1, color); }
  std::string TrayHintFromCaption() const;

  // --- Sleep and power (power/) ------------------------------------------------------------
  void N22Click();          // cancel the sleep setting
  void N301Click();         // 30 minutes; also N302
  void N601Click();         // 60 minutes; also N602
  void N21Click();          // time of day; also N212
  void N23Click();          // after the list; also N232
  void SleepButtonClick();  // body of the sleep button: the time of day
  void Timer2Timer();
  void ShutdownWindows();
  void SuspendSystem();
  // The action SleepMode chooses: shutdown for "0" or empty, SuspendSystem otherwise.
  void RunSleepAction();
  void test1Click();  // monitor power saving; also F1

  // --- Desktop integration (desktop/) ------------------------------------------------------
  void AnnounceTrack(const std::string& title);
  void ClearTrack();
  void SpeedButton1Click();  // hide to the tray
  void N11Click();           // show the window again
  void TrayIconClick();
  void TrayIconMouseMove();
  void FormMouseMove();
  void FIListBox1MouseEnter();
  void FIListBox1MouseLeave();
  void ApplyTaskButton();
  void ApplyCloseBtn();
  void Messenger1Click();  // now-playing broadcast on/off
  void N16Click();         // open the base folder
  void N14Click();         // open the drive overview

  // --- Folder selection (dialogs/) ---------------------------------------------------------
  void ToolButton1Click();  // also N13, F5

 private:
  void BuildStartupList(const std::string& target);

  PlatformServices& platform_;
  ProcessInfo process_;
};

}  // namespace solka
