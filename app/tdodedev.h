// The main window object: the player. It owns the settings, the play list, the playback graph
// of the current track and every state flag; the handlers below are the whole public surface.
// Their definitions live with their subsystem (app/, settings/, playlist/, playback/, power/,
// desktop/). The state is grouped per subsystem into plain structs that only the handlers
// change; the GUI, services and tests read it through the views.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform_services.h"
#include "app/startup_state.h"
#include "desktop/desktop_state.h"
#include "form/commands.h"
#include "form/main_form.h"
#include "platform/api/copy_data.h"
#include "playback/playback_state.h"
#include "playlist/list_state.h"
#include "power/sleep_state.h"
#include "settings/keys.h"
#include "settings/options.h"
#include "settings/setting_texts.h"

namespace solka {

class PlayerDialogHost;
class TForm2;
class TForm3;

class TDODEDEV {
 public:
  TDODEDEV(PlatformServices& platform, ProcessInfo process);
  ~TDODEDEV();
  TDODEDEV(const TDODEDEV&) = delete;
  TDODEDEV& operator=(const TDODEDEV&) = delete;

  static inline const std::string VersionText = "DODEDEV 1.7.2.0";

  // --- Views -------------------------------------------------------------------------------
  const MainForm& Form() const { return form_; }
  // The GUI layer's handle: it observes the form and reports what the user changed directly
  // (MainForm's *FromView setters). It changes nothing else through it.
  MainForm& FormForView() { return form_; }
  const SettingTexts& Settings() const { return settings_; }
  const PlaybackState& Playback() const { return playback_; }
  const SequenceState& Sequence() const { return sequence_; }
  const ListState& List() const { return list_; }
  const SleepState& Sleep() const { return sleep_; }
  const WindowState& Window() const { return window_; }
  const StartupState& Startup() const { return startup_; }
  const CompanionState& Companion() const { return companion_; }
  const TrackInfoState& TrackInfo() const { return track_; }
  const PlayerOptions& Options() const { return options_; }  // section [OPTIONS]

  const std::string& Setting(Key key) const { return settings_[key]; }
  bool SettingIs(Key key, std::string_view value) const { return settings_.Is(key, value); }
  int CurrentIndex() const { return form_.ItemIndex(); }
  bool PlayListSorted() const { return list_.PlayList.Sorted(); }

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
  // `named`: a file the user named, taken even where it is hidden.
  void ScanFolder(const std::string& folder, const std::string& named = {});

  // --- List files (playlist/list_file_commands.cpp) ----------------------------------------
  // Reads the list file into SelectedListLines and replaces PlayList with it; false (after the
  // message box) when the file cannot be read.
  bool LoadListFile(const std::string& path);
  void N4Click();

  // --- Drops and hand-over (playlist/drops.cpp, playlist/forwarded_path.cpp) ----------------
  void WMDropFiles(const std::vector<std::string>& paths);  // items dropped on the window
  std::uint32_t WMCopyData(const CopyData& message);        // a second start's argument
  void RunHandOvers();  // acts on the newest waiting hand-over, one at a time
  void BuildListFromPath(const std::string& path);  // a forwarded path or command word

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
  void SetVolumeLevel(long long hundredthsOfDb);  // stored, applied and shown; clamped
  void Label3DblClick();
  bool Muted() const;  // the volume label shows the mute mark

  // --- Status display (playback/status.cpp) ------------------------------------------------
  void Timer1Timer();
  // Runs Timer1 only while a track plays in a shown window: labels nobody sees are not redrawn
  // ten times a second (showing the window refreshes them at once).
  void UpdatePositionTimer();
  void ShowPlaying(const std::string& path, const std::string& title);
  void ShowIdle();
  void ShowVolume();
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
  // Requests of the desktop's media controls that no window control makes
  // (desktop/media_remote.cpp).
  void SeekFromDesktop(double seconds);  // a position of the playing track
  void SetRateFromDesktop(double rate);  // the nearest speed the player offers
  void StepFromDesktop(int step);        // next (+1) or previous (-1), keeping pause or stop
  MediaTags TrackTags();                 // the playing track's own tags

  // --- Folder selection (dialogs/) ---------------------------------------------------------
  void ToolButton1Click();  // also N13, F5
  // The list selection and time dialogs, once created (null: the commands wait for them).
  void AttachDialogs(TForm2* form2, TForm3* form3) { form2_ = form2, form3_ = form3; }

 private:
  void BuildStartupList(const std::string& target);
  void SelectRow(int row) { form_.SetItemIndex(row); }
  void SetPlayListSorted(bool sorted) { list_.PlayList.SetSorted(sorted); }
  void SetLabel1Color(Color color) { form_.SetLabelColor(1, color); }
  // The only writer of Graph and PlaybackState::Playing.
  void SetGraph(std::unique_ptr<MediaGraph> graph);
  // Holds the lock against the desktop's idle suspend exactly while a track plays unpaused.
  void UpdateIdleLock();
  // The only writer of Timer2 and SleepState::SleepArmed/SleepDeadline: a deadline arms the
  // timer, nullopt stops it.
  void SetSleepDeadline(std::optional<std::string> deadline);
  // Notes where the clock stands now, the start of the next deadline check's span.
  void NoteSleepCheck();
  void ArmAfter(int minutes, std::string_view item);
  // Arms the time deadline "h:m" with the sleep items' check on `item`.
  void Arm(std::string deadline, std::string_view item);
  void PauseOrResume();
  void StepVolume(int step);
  // Checks the order-of-play items from SequenceState::Choice.
  void ShowModeChecks();
  // The current track broke down in mid-track: it ends, unless too many failed in a row.
  void TrackBrokeDown();
  // A start of the sequencer failed during a run with SkipUnplayable: the run goes on.
  void PassOverFailedStart();
  // Whether the failures in a row so far halt the run.
  bool FailuresHaltRun(bool midTrack) const;
  // What the end of the current track leads to in `mode`; changes nothing, so that it also names
  // the track to prepare (playback/prepare_next.cpp).
  struct AfterTrack {
    enum class Kind { Nothing, EndRun, EndOfList, Row, NewPass } kind = Kind::Nothing;
    int row = -1;
  };
  AfterTrack StepAfterTrack(PlayMode mode) const;
  // The file the end of the current track will start, when the back end can have it follow.
  std::optional<std::string> NextTrackPath();
  // Keeps the track that follows the current one prepared, as the list and the mode say now;
  // a prepared one that no longer follows is dropped.
  void PrepareNext();
  void DropNext();

  PlatformServices& platform_;
  ProcessInfo process_;

  MainForm form_;  // designed controls: caption, labels, list rows, menus' check marks, tray
  SettingTexts settings_;
  PlaybackState playback_;
  SequenceState sequence_;
  ListState list_;
  SleepState sleep_;
  WindowState window_;
  StartupState startup_;
  CompanionState companion_;
  TrackInfoState track_;
  PlayerOptions options_;
  HandOverState handOver_;

  std::unique_ptr<MediaGraph> Graph;  // the playback graph of the current track, or null
  std::unique_ptr<MediaGraph> Next;   // the track prepared to follow it, or null
  // Set while the end of a track runs the sequencer: its start may take the prepared track.
  bool followOn_ = false;
  std::unique_ptr<Timer> Timer1;  // position display, 100 ms while shown and playing
  std::unique_ptr<Timer> Timer2;  // sleep deadline, 1000 ms while armed
  TForm2* form2_ = nullptr;
  TForm3* form3_ = nullptr;
  // Tasks posted to the loop check it: they outlive the player when the loop does.
  std::shared_ptr<char> lifetime_ = std::make_shared<char>();

  // The dialogs' window on the player: the few values they show and store at a click.
  friend class PlayerDialogHost;
};

}  // namespace solka
