// The list selection dialog, its settings tab, the time dialog and the two commands that show
// them, driven through the dialogs' events as the GUI layer forwards them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "base/paths.h"
#include "dialogs/player_dialogs.h"
#include "player_fixture.h"

namespace solka {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Stands in for the GUI layer's modal window: runs what the user does while it is open.
class ScriptedWindow : public ModalWindow {
 public:
  void RunModal() override {
    ++shown;
    if (script) script();
  }
  std::function<void()> script;
  int shown = 0;
};

class DialogsTest : public ::testing::Test {
 protected:
  // Starts the player as the program does, with the dialogs and scripted windows attached.
  void Start(PlayerBuilder builder) {
    owned_ = builder.Start();
    player = owned_.get();
    dialogs_ = std::make_unique<PlayerDialogs>(*player, p.services, kHome);
    form2 = &dialogs_->Form2();
    form3 = &dialogs_->Form3();
    form2->SetWindow(&window2);
    form3->SetWindow(&window3);
  }
  void Start() { Start(PlayerBuilder(p)); }

  std::string Recent(int n) const {
    return IniFile(p.files.Contents(kTestIni)).ReadString("RECENT_PATH", std::to_string(n), "");
  }
  void Event(std::string_view control, DialogEvent event = DialogEvent::Click, int row = -1) {
    EXPECT_TRUE(form2->Handle(control, event, row)) << control;
  }
  // The user picks rows by their text and presses `button`.
  void Choose(std::vector<std::string> rows, std::string_view button = "BitBtn2") {
    window2.script = [this, rows, button] {
      const auto& shown = Rows();
      for (const std::string& row : rows) {
        const auto at = std::find(shown.begin(), shown.end(), row);
        ASSERT_NE(at, shown.end()) << row;
        Event("FIListBox1", DialogEvent::RowClick, static_cast<int>(at - shown.begin()));
      }
      Event(button);
    };
  }
  const std::vector<std::string>& Rows() const { return form2->Form.Items("FIListBox1"); }
  const std::vector<std::string>& List() const { return player->List().PlayList.Items(); }
  void LoadTracks(int count) { LoadList(p, *player, TrackPaths(count)); }
  void LoadPaths(const std::vector<std::string>& paths) { LoadList(p, *player, paths); }
  std::vector<std::string> Rendered() const {
    std::vector<std::string> out;
    for (const std::string& entry : p.media.log)
      if (entry.rfind("render ", 0) == 0) out.push_back(entry.substr(7));
    return out;
  }

  static constexpr const char* kHome = "/usr/share/doc/solka/README.md";
  TestPlatform p;
  std::unique_ptr<TDODEDEV> owned_;
  std::unique_ptr<PlayerDialogs> dialogs_;
  TDODEDEV* player = nullptr;
  TForm2* form2 = nullptr;
  TForm3* form3 = nullptr;
  ScriptedWindow window2, window3;
};

TEST_F(DialogsTest, HistoryLoadsUpToTheFirstGapSortedAndIsWrittenInTheComboOrder) {
  Start(PlayerBuilder(p).SettingsFile(
      "[SETTING]\nBaseFolder=/base\n[RECENT_PATH]\n0=/srv/zeta\n1=/music\n3=/lost\n"));
  p.files.AddFolder("/base/b");
  p.files.AddFolder("/base/A");
  p.files.AddFolder("/base/.cache");
  p.files.AddFile("/base/file.mp3");
  window2.script = [this] {
    // The base folder joins the history at its sorted place and is the shown entry; its
    // sub-folders (files and hidden ones left out) are the rows, in name order.
    EXPECT_THAT(form2->Form.Items("Edit1"), ElementsAre("/base", "/music", "/srv/zeta"));
    EXPECT_EQ(form2->Form.ShownItem("Edit1"), "/base");
    EXPECT_THAT(Rows(), ElementsAre("A", "b"));
    EXPECT_THAT(form2->CandidatePaths, ElementsAre("/base/A", "/base/b"));
    // Picking an entry puts it on top; the list follows once the combo list was opened.
    Event("Edit1", DialogEvent::DropDown);
    form2->Form.SetItemIndexFromView("Edit1", 2);
    Event("Edit1", DialogEvent::Change);
    Event("BitBtn2");
  };
  player->ToolButton1Click();
  EXPECT_EQ(Recent(0), "/srv/zeta");
  EXPECT_EQ(Recent(1), "/base");
  EXPECT_EQ(Recent(2), "/music");
  EXPECT_EQ(Recent(3), "/lost");  // never removed, though no longer read
  EXPECT_EQ(player->Setting(BaseFolder), "/srv/zeta");
  EXPECT_EQ(SavedSetting(p.files, kTestIni, "BaseFolder"), "/srv/zeta");
}

TEST_F(DialogsTest, BrowsingMovesItsEntryToTheTopAndRelistsAndOtherCasesAreOtherFolders) {
  Start(PlayerBuilder(p).SettingsFile(
      "[SETTING]\nBaseFolder=/music/rock\n[RECENT_PATH]\n0=/Music/Rock\n1=/a\n"));
  p.files.AddFolder("/music/rock/live");
  p.dialogs.folderAnswer = "/music/rock";
  window2.script = [this] {
    Event("Button1");
    EXPECT_THAT(form2->Form.Items("Edit1"), ElementsAre("/music/rock", "/a", "/Music/Rock"));
    EXPECT_EQ(form2->Form.ItemIndex("Edit1"), 0);
    EXPECT_THAT(Rows(), ElementsAre("live"));
    // A cancelled browse leaves everything as it was.
    p.dialogs.folderAnswer.reset();
    Event("Button1");
    EXPECT_THAT(Rows(), ElementsAre("live"));
    Event("BitBtn1");
  };
  player->ToolButton1Click();
  EXPECT_THAT(p.dialogs.browseTitles,
              ElementsAre("フォルダを選択してください", "フォルダを選択してください"));
  EXPECT_THAT(p.dialogs.browseStarts, ElementsAre("/music/rock", "/music/rock"));
  EXPECT_EQ(Recent(0), "/Music/Rock");  // a cancel writes nothing
}

TEST_F(DialogsTest, ReopenedAfterABrowseAndACancelWithoutBaseOrHistoryTheBoxShowsNothing) {
  Start();
  p.dialogs.folderAnswer = "/music";
  window2.script = [this] {
    Event("Button1");
    Event("BitBtn1");
  };
  player->ToolButton1Click();
  window2.script = [this] { EXPECT_EQ(form2->Form.ShownItem("Edit1"), ""); };
  player->ToolButton1Click();
  EXPECT_EQ(window2.shown, 2);
}

TEST_F(DialogsTest, ListFilesAreFoundBelowTheBaseInNameOrderOnceEvenThroughALinkLoop) {
  Start(PlayerBuilder(p).Setting(BaseFolder, "/playlists"));
  p.files.AddFile("/playlists/z.M3U", "/m/z.mp3\n");
  p.files.AddFile("/playlists/sub/b.m3u", "/m/b.mp3\n");
  p.files.AddFile("/playlists/a.m3u", "/m/a.mp3\n");
  p.files.AddFile("/playlists/notes.txt");
  p.files.AddFolderLink("/playlists/sub/back", "/playlists");
  window2.script = [this] {
    Event("RadioButton2", DialogEvent::Enter);
    Event("RadioButton2");
    EXPECT_TRUE(player->List().ListMode);
    EXPECT_THAT(Rows(), ElementsAre("a.m3u", "b.m3u", "z.M3U"));
    EXPECT_THAT(form2->CandidatePaths,
                ElementsAre("/playlists/a.m3u", "/playlists/sub/b.m3u", "/playlists/z.M3U"));
    Event("BitBtn1");
  };
  player->ToolButton1Click();
  // The mode changed at the click and stays changed after the cancel.
  EXPECT_TRUE(player->List().ListMode);
}

TEST_F(DialogsTest, RadioGroupsStoreAtTheClickAndSurviveACancel) {
  Start(PlayerBuilder(p).Setting(FileType, "").Setting(SleepMode, "x"));
  const std::string before = p.files.Contents(kTestIni);
  window2.script = [this] {
    // Showing an empty scan mode checks the standard mode and stores it on the way; an unknown
    // sleep mode leaves its buttons alone.
    EXPECT_EQ(player->Setting(FileType), "0");
    EXPECT_TRUE(form2->Form.Checked("Extchk3"));
    EXPECT_EQ(player->Setting(SleepMode), "x");
    Event("RadioButton3");
    Event("Extchk2");
    EXPECT_TRUE(form2->Form.Checked("RadioButton3"));
    EXPECT_FALSE(form2->Form.Checked("Extchk3"));
    form2->Form.SetCheckedFromView("CheckBox3", true);  // not taken back on cancel
    // No base folder: nothing is listed (not the root); once the dialog is up the chooser asks
    // for one, from the home folder.
    EXPECT_THAT(Rows(), IsEmpty());
    p.loop.RunUntilIdle();
    Event("BitBtn1");
  };
  player->ToolButton1Click();
  EXPECT_THAT(p.dialogs.browseStarts, ElementsAre("/home/user/"));
  EXPECT_EQ(player->Setting(SleepMode), "1");
  EXPECT_EQ(player->Setting(FileType), "2");
  EXPECT_EQ(player->Setting(AutoPlay), "0");
  EXPECT_EQ(p.files.Contents(kTestIni), before);
}

TEST_F(DialogsTest, SettingsTabShowsTheLiveStateAndOkAppliesAndSavesEveryValue) {
  // The stored text says sorted; the list box is not (the start-up sorts the play list only).
  Start(PlayerBuilder(p).Setting(Sort, "1").Setting(Ext_WAV, "").Setting(Hint, "1"));
  LoadPaths({"/m/b.mp3", "/m/A.mp3"});
  window2.script = [this] {
    EXPECT_FALSE(form2->Form.Checked("CheckBox2"));
    EXPECT_FALSE(form2->Form.Checked("CheckBox1"));
    EXPECT_TRUE(form2->Form.Checked("c_mp3"));
    EXPECT_FALSE(form2->Form.Checked("c_wav"));
    for (const char* box :
         {"CheckBox1", "CheckBox2", "CheckBox4", "CheckBox6", "CheckBox7", "c_ogg"})
      form2->Form.SetCheckedFromView(box, true);
    form2->Form.SetCheckedFromView("c_mp3", false);
    form2->Form.SetTextFromView("Edit2", "/usr/bin/true");
    Event("BitBtn2");
  };
  player->ToolButton1Click();
  EXPECT_FALSE(player->Form().HintsShown());
  EXPECT_TRUE(player->Form().TaskButtonVisible());
  EXPECT_TRUE(player->Form().CloseBox());
  EXPECT_TRUE(player->List().ListBoxSorted);
  EXPECT_TRUE(player->Sleep().MonitorPower);
  for (auto [key, value] : {std::pair{"Hint", "0"},
                            {"Sort", "1"},
                            {"TaskButton", "1"},
                            {"CloseBtn", "1"},
                            {"Ext_MP3", "0"},
                            {"Ext_OGG", "1"},
                            {"AppName", "/usr/bin/true"},
                            {"MonitorPower", "1"}})
    EXPECT_EQ(SavedSetting(p.files, kTestIni, key), value) << key;
  // Ext_ACC, Volume and the now-playing switch wait for the exit.
  EXPECT_EQ(SavedSetting(p.files, kTestIni, "Ext_ACC"), "<missing>");
}

TEST_F(DialogsTest, OkWithTwoFoldersReplacesTheListAndAddKeepsIt) {
  Start(PlayerBuilder(p).Setting(BaseFolder, "/base"));
  p.files.AddFile("/base/B/b1.mp3");
  p.files.AddFile("/base/A/a2.mp3");
  p.files.AddFile("/base/A/a1.mp3");
  p.files.AddFile("/base/C/c1.mp3");
  LoadPaths({"/old/x.mp3"});
  Choose({"B", "A"});
  player->ToolButton1Click();
  // Folders in row order (the rows are in name order), each scanned as the scan orders it.
  EXPECT_THAT(player->List().SelectedFolders, ElementsAre("/base/A", "/base/B"));
  const std::vector<std::string> scanned = List();
  ASSERT_EQ(scanned.size(), 3u);
  EXPECT_EQ(scanned[2], "/base/B/b1.mp3");
  EXPECT_EQ(player->Form().Rows().size(), 3u);
  EXPECT_EQ(player->Form().Label(2).text, " / 3 曲");
  Choose({"C"}, "BitBtn3");
  player->ToolButton1Click();
  EXPECT_EQ(List().size(), 4u);
  EXPECT_EQ(List()[0], scanned[0]);
  EXPECT_EQ(List()[3], "/base/C/c1.mp3");
  EXPECT_EQ(player->Form().Label(2).text, " / 4 曲");
  // Ticking the sorted display puts the list in path order.
  window2.script = [this] {
    form2->Form.SetCheckedFromView("CheckBox2", true);
    Event("Button2");
    Event("BitBtn2");
  };
  player->ToolButton1Click();
  EXPECT_THAT(List(),
              ElementsAre("/base/A/a1.mp3", "/base/A/a2.mp3", "/base/B/b1.mp3", "/base/C/c1.mp3"));
}

TEST_F(DialogsTest, ListFilesOfEitherEncodingGiveTheSameLinesAndReplaceTheListForAddToo) {
  Start(PlayerBuilder(p).Setting(BaseFolder, "/playlists").Setting(ListFile, "1"));
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("#EXTM3U\r\n/m/a.mp3\r\nrel/b.mp3")) utf16 += std::string{c, '\0'};
  p.files.AddFile("/playlists/one.m3u", utf16);
  p.files.AddFile("/playlists/two.m3u", "#EXTM3U\n/m/a.mp3\nrel/b.mp3");
  LoadPaths({"/old/x.mp3"});
  Choose({"one.m3u"}, "BitBtn3");
  player->ToolButton1Click();
  const std::vector<std::string> fromUtf16 = player->List().SelectedListLines;
  // Read as the player reads lists: no comment rows, relative entries from the list's folder.
  EXPECT_THAT(fromUtf16, ElementsAre("/m/a.mp3", "/playlists/rel/b.mp3"));
  EXPECT_THAT(List(), ElementsAre("/m/a.mp3", "/playlists/rel/b.mp3"));
  Choose({"two.m3u"});
  player->ToolButton1Click();
  EXPECT_EQ(player->List().SelectedListLines, fromUtf16);
  EXPECT_THAT(player->List().SelectedFolders, IsEmpty());
}

TEST_F(DialogsTest, AnUnreadableListFileKeepsTheDialogOpenAndWritesNothing) {
  Start(PlayerBuilder(p).Setting(BaseFolder, "/playlists").Setting(ListFile, "1"));
  p.files.AddFile("/playlists/bad.m3u", "x");
  p.files.SetUnreadable("/playlists/bad.m3u");
  LoadPaths({"/old/x.mp3"});
  const std::string before = p.files.Contents(kTestIni);
  window2.script = [this] {
    Event("FIListBox1", DialogEvent::RowClick, 0);
    Event("BitBtn3");
    EXPECT_EQ(form2->Form.ModalResult(), DialogForm::kNoResult);
    Event("BitBtn1");
  };
  player->ToolButton1Click();
  EXPECT_EQ(p.dialogs.boxes.size(), 1u);
  EXPECT_THAT(List(), ElementsAre("/old/x.mp3"));
  EXPECT_EQ(p.files.Contents(kTestIni), before);
}

TEST_F(DialogsTest, RowsToggleAndADoubleClickChoosesItsRow) {
  Start(PlayerBuilder(p).Setting(BaseFolder, "/base"));
  p.files.AddFile("/base/A/a.mp3");
  p.files.AddFile("/base/B/b.mp3");
  window2.script = [this] {
    Event("", DialogEvent::ReturnKey);  // nothing ticked: Return does not close the dialog
    EXPECT_EQ(form2->Form.ModalResult(), DialogForm::kNoResult);
    Event("FIListBox1", DialogEvent::SpaceKey, 0);
    Event("FIListBox1", DialogEvent::RowClick, 0);  // a click takes back what Space ticked
    Event("FIListBox1", DialogEvent::RowClick, 1);
    Event("FIListBox1", DialogEvent::RowClick, 1);  // the double-click's own two clicks
    Event("FIListBox1", DialogEvent::DblClick, 1);
  };
  player->ToolButton1Click();
  EXPECT_THAT(player->List().SelectedFolders, ElementsAre("/base/B"));
  window2.script = [this] {
    Event("FIListBox1", DialogEvent::SpaceKey, 0);
    Event("", DialogEvent::ReturnKey);
  };
  player->ToolButton1Click();
  EXPECT_THAT(player->List().SelectedFolders, ElementsAre("/base/A"));
}

TEST_F(DialogsTest, PlaybackGoesOnBehindTheOpenDialog) {
  Start();
  LoadTracks(3);
  player->ToolButton5Click();  // continuous play from row 0
  window2.script = [this] {
    p.media.FinishTrack();
    p.loop.RunUntilIdle();
    p.loop.AdvanceTime(250);
    Event("BitBtn1");
  };
  player->ToolButton1Click();
  EXPECT_EQ(window2.shown, 1);
  EXPECT_THAT(Rendered(), ElementsAre("/music/album/t0.mp3", "/music/album/t1.mp3"));
  EXPECT_TRUE(player->Playback().Playing);
}

TEST_F(DialogsTest, AnEmptyListAfterTheDialogCancelsTheAfterListSleep) {
  Start();
  LoadTracks(1);
  player->N23Click();
  ASSERT_TRUE(player->Sleep().SleepAfterListEnd);
  Choose({});  // OK with nothing chosen: the list is emptied
  player->ToolButton1Click();
  EXPECT_FALSE(player->Sleep().SleepAfterListEnd);
  EXPECT_EQ(player->Form().Label(2).text, "");
  EXPECT_FALSE(player->Sequence().ContinuousPlay);
}

TEST_F(DialogsTest, BaseFolderItemOpensTheEntryTheDialogLastShowedEvenAfterACancel) {
  Start(PlayerBuilder(p).SettingsFile("[SETTING]\nBaseFolder=/base\n[RECENT_PATH]\n0=/music\n"));
  player->Click("N16");  // the dialog was never opened: its box is empty
  window2.script = [this] {
    Event("Edit1", DialogEvent::DropDown);
    form2->Form.SetItemIndexFromView("Edit1", 1);  // "/music", after "/base"
    Event("Edit1", DialogEvent::Change);
    Event("BitBtn1");
  };
  player->ToolButton1Click();
  player->Click("N16");
  EXPECT_THAT(p.shell.opened, ElementsAre("/base", "/music"));
  EXPECT_EQ(player->Setting(BaseFolder), "/base");
}

TEST_F(DialogsTest, HomePageAndProgramChooser) {
  Start();
  p.dialogs.openAnswer = "/usr/bin/xterm";
  window2.script = [this] {
    Event("Label3");
    Event("Button6");
    EXPECT_EQ(form2->Form.Text("Edit2"), "/usr/bin/xterm");
    Event("BitBtn1");
  };
  player->ToolButton1Click();
  EXPECT_THAT(p.shell.opened, ElementsAre(kHome));
}

TEST_F(DialogsTest, TimeDialogShowsTheDeadlineOrTheClockAndStepsWithinRange) {
  Start();
  LoadTracks(1);
  p.clock.Set(9 * 3600 + 5 * 60);  // 09:05
  std::vector<std::string> shown;
  window3.script = [&] {
    shown.push_back(form3->Form.Text("Edit1") + " " + form3->Form.Text("Edit2"));
    form3->Handle("BitBtn2", DialogEvent::Click);
  };
  player->N21Click();
  player->N23Click();  // after the list: no time deadline, the clock shows
  player->N21Click();
  p.clock.Set(23 * 3600 + 45 * 60);
  player->N301Click();  // 0:15
  player->N21Click();
  EXPECT_THAT(shown, ElementsAre("09 5", "09 5", "00 15"));
  // The abort button cancels whatever sleep was set.
  EXPECT_FALSE(player->Sleep().SleepArmed);
  EXPECT_EQ(player->Form().SleepImage(), 7);

  form3->Form.SetTextFromView("Edit1", "23");
  form3->Handle("UpDown1", DialogEvent::StepUp);
  form3->Form.SetTextFromView("Edit2", "0");
  form3->Handle("Edit2", DialogEvent::StepDown);
  EXPECT_EQ(form3->Form.Text("Edit1"), "23");
  EXPECT_EQ(form3->Form.Text("Edit2"), "0");
  form3->Form.SetTextFromView("Edit2", "09");
  form3->Handle("UpDown2", DialogEvent::StepUp);
  EXPECT_EQ(form3->Form.Text("Edit2"), "10");
}

TEST_F(DialogsTest, TimeDialogRefusesWhatIsNoTimeOfDayAndArmsWhatIs) {
  Start();
  window3.script = [this] {
    for (auto [hour, minute] :
         {std::pair{"24", "0"}, {"7", "60"}, {"", "5"}, {"7", "-1"}, {"x", "5"}}) {
      form3->Form.SetTextFromView("Edit1", hour);
      form3->Form.SetTextFromView("Edit2", minute);
      form3->Handle("BitBtn1", DialogEvent::Click);
      EXPECT_EQ(form3->Form.ModalResult(), DialogForm::kNoResult) << hour << ":" << minute;
    }
    form3->Form.SetTextFromView("Edit1", "09");
    form3->Form.SetTextFromView("Edit2", "5");
    form3->Handle("BitBtn1", DialogEvent::Click);
  };
  player->N21Click();
  EXPECT_EQ(p.dialogs.boxes.size(), 5u);
  EXPECT_EQ(player->Sleep().SleepDeadline, "09:5");
  EXPECT_TRUE(player->Sleep().SleepArmed);
  EXPECT_TRUE(player->Form().Checked("N212"));
  EXPECT_EQ(player->Form().SleepHint(), "スリープ設定中 ( 09:5 )");
  // The close box changes nothing.
  window3.script = [this] { form3->Handle("", DialogEvent::CloseBox); };
  player->SleepButtonClick();
  EXPECT_TRUE(player->Sleep().SleepArmed);
  EXPECT_EQ(window3.shown, 2);
}

// The one rule both window layers fit captions by, with captions measured at ten pixels a
// character and a pixel less per character a size smaller.
TEST(DialogDesignTest, CaptionsGrowThenWidenTheDialogThenShrinkAndButtonsStayCentred) {
  using K = ControlKind;
  DialogDesign design{
      "T",
      "a title",
      100,
      50,
      false,
      {"page"},
      40,
      96,
      "",
      "",
      18,
      {
          {K::CheckBox, "Near", "12345678", 0, 0, 40, 10, 1},  // neighbour at 50
          {K::Label, "Next", "", 50, 0, 10, 10, 1},
          {K::CheckBox, "Edge", "123456789", 10, 20, 84, 10, 1},   // reaches the edge
          {K::List, "List", "", 0, 30, 94, 10, 1},                 // grows with the page
          {K::Button, "Wide", "1234567890123456", 0, 40, 30, 10},  // on the dialog
      }};
  const auto extent = [](const ControlDesign& c, int size) {
    return static_cast<int>(c.text.size()) * (size - 2);
  };
  DialogFit fit = FitDialog(design, 0, extent);
  // "Edge" needs 10 + 90 = 100 > 94: the dialog, the page's edge and the list grow by 6.
  EXPECT_EQ(fit.clientWidth, 106);
  EXPECT_EQ(fit.controls[2].width, 90);
  EXPECT_EQ(fit.controls[3].width, 100);
  // "Near" may grow to 48 only: 80, 72, 64 and, three sizes smaller, 56 are all wider, so it
  // takes what room there is at the smallest size.
  EXPECT_EQ(fit.controls[0].width, 48);
  EXPECT_EQ(fit.controls[0].fontSize, 9);
  // The dialog's own controls are centred in what was added, and shrink where they must.
  EXPECT_EQ(fit.controls[4].x, 3);
  EXPECT_EQ(fit.controls[4].fontSize, 9);

  // Growth stops at a quarter of the designed width; a tool window is as wide as its title.
  design.controls[2].text = "12345678901234567890";
  EXPECT_EQ(FitDialog(design, 0, extent).clientWidth, 125);
  design.toolWindow = true;
  EXPECT_EQ(FitDialog(design, 140, extent).clientWidth, 140);
  EXPECT_EQ(ShownCaption("中止(&A) && more"), "中止(A) & more");
}

}  // namespace
}  // namespace solka
