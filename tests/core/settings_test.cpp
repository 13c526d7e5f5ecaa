#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "settings/ini_file.h"
#include "tests/core/player_fixture.h"

namespace solka {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kIni = "/opt/solka/solka.ini";

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { p.files.AddFolder("/opt/solka"); }

  TDODEDEV& Start() {
    player = PlayerBuilder(p).Start();
    return *player;
  }
  std::string Saved(std::string_view key) const { return SavedSetting(p.files, kIni, key); }

  TestPlatform p;
  std::unique_ptr<TDODEDEV> player;
};

TEST_F(SettingsTest, FirstRunUsesDefaultsAndExitWritesEveryKeyInOrder) {
  TDODEDEV& t = Start();
  for (int key = 0; key < kKeyCount; ++key)
    EXPECT_EQ(t.Setting(static_cast<Key>(key)), kKeys[key].defaultValue);
  EXPECT_EQ(t.Playback().Volume, 0);
  EXPECT_FALSE(t.Sleep().MonitorPower);
  EXPECT_FALSE(t.TrackInfo().NowPlayingOn);
  EXPECT_FALSE(p.files.HasFile(kIni));  // reading never creates the file

  t.SaveSettings();
  EXPECT_EQ(p.files.Contents(kIni),
            "[SETTING]\nBaseFolder=\nListHide=0\nJukeMode=1\nTop=\nLeft=\nListFile=0\nHint=1\n"
            "Top2=\nSort=0\nAutoPlay=0\nFileType=0\nSubFolder=0\nExt_MP3=1\nExt_WAV=0\n"
            "Ext_WMA=0\nExt_MIDI=0\nExt_OGG=0\nExt_APE=0\nExt_ACC=0\nSleepMode=0\n"
            "TaskButton=0\nAppName=\nRun_App=0\nCloseBtn=0\nVolume=0\nMonitorPower=0\n"
            "WMP_NowPlaying=0\n");
}

TEST_F(SettingsTest, EveryKeyRoundTrips) {
  std::string file = "[SETTING]\n";
  for (int key = 0; key < kKeyCount; ++key) {
    if (key != AppName) file += std::string(kKeys[key].name) + "=v" + std::to_string(key) + " x\n";
  }
  file += "AppName=\" /opt/my app/run.sh \"\nVolume=-2550\nMonitorPower=1\nWMP_NowPlaying=1\n";
  p.files.AddFile(kIni, file);
  TDODEDEV& first = Start();
  ASSERT_EQ(first.Setting(AppName), " /opt/my app/run.sh ");
  std::vector<std::string> saved;
  for (int key = 0; key < kKeyCount; ++key) saved.push_back(first.Setting(static_cast<Key>(key)));
  p.files.AddFile(kIni, "");
  first.SaveSettings();

  TDODEDEV& second = Start();
  for (int key = 0; key < kKeyCount; ++key)
    EXPECT_EQ(second.Setting(static_cast<Key>(key)), saved[key]) << kKeys[key].name;
  EXPECT_EQ(second.Playback().Volume, -2550);
  EXPECT_TRUE(second.Sleep().MonitorPower);
  EXPECT_TRUE(second.TrackInfo().NowPlayingOn);
  EXPECT_TRUE(second.Form().Checked("Messenger1"));
}

TEST_F(SettingsTest, UnknownContentAndOtherSectionsSurviveASave) {
  const std::string before =
      "; written by hand\r\n"
      "[RECENT_PATH]\r\n"
      "0=/music/a\r\n"
      "1=/music/b\r\n"
      "\r\n"
      "[setting]\r\n"
      "hint = 0\r\n"
      "Future=keep me\r\n"
      "volume=-300\r\n"
      "\r\n"
      "[Elsewhere]\r\n"
      "Volume=5";
  p.files.AddFile(kIni, before);
  TDODEDEV& t = Start();
  EXPECT_EQ(t.Setting(Hint), "0");
  EXPECT_EQ(t.Playback().Volume, -300);
  t.SaveSettings();

  const std::string after = p.files.Contents(kIni);
  EXPECT_EQ(after.substr(0, after.find("[setting]")), before.substr(0, before.find("[setting]")));
  EXPECT_NE(after.find("hint=0\r\nFuture=keep me\r\nvolume=-300\r\nBaseFolder=\r\n"),
            std::string::npos);
  EXPECT_TRUE(after.ends_with("WMP_NowPlaying=0\r\n\r\n[Elsewhere]\r\nVolume=5"));
  EXPECT_EQ(Saved("Future"), "keep me");
}

TEST_F(SettingsTest, DialogSaveLeavesAccVolumeAndNowPlayingForExit) {
  p.files.AddFile(kIni,
                  "[SETTING]\nBaseFolder=/music\nCloseBtn=1\nExt_ACC=1\nVolume=-500\n"
                  "MonitorPower=1\nWMP_NowPlaying=1\n");
  TDODEDEV& t = Start();
  p.files.AddFile(kIni, "[SETTING]\n");
  t.SaveDialogSettings();
  EXPECT_EQ(Saved("BaseFolder"), "/music");
  EXPECT_EQ(Saved("CloseBtn"), "1");
  EXPECT_EQ(Saved("MonitorPower"), "1");
  EXPECT_EQ(Saved("Ext_ACC"), "<missing>");
  EXPECT_EQ(Saved("Volume"), "<missing>");
  EXPECT_EQ(Saved("WMP_NowPlaying"), "<missing>");
}

TEST_F(SettingsTest, ValuesThatAreNotNumbersReadAsDefaults) {
  p.files.AddFile(kIni,
                  "[SETTING]\nVolume=loud\nMonitorPower=x\nWMP_NowPlaying=2\nHint=yes\n"
                  "Sort=yes\nFileType=\n");
  TDODEDEV& t = Start();
  EXPECT_EQ(t.Playback().Volume, 0);
  EXPECT_FALSE(t.Sleep().MonitorPower);
  EXPECT_TRUE(t.TrackInfo().NowPlayingOn);
  EXPECT_TRUE(t.Form().HintsShown());  // only "0" hides hints
  EXPECT_FALSE(t.PlayListSorted());    // only "1" sorts
  EXPECT_EQ(t.Setting(FileType), "");
}

TEST_F(SettingsTest, AFailedSaveKeepsTheOldFileAndSaysSoInOneLine) {
  p.files.AddFile(kIni, "[SETTING]\nHint=0\n");
  TDODEDEV& t = Start();
  p.files.SetReadOnlyFile(kIni);
  t.SaveSettings();  // every other key would be added
  EXPECT_THAT(p.diagnostics.lines,
              ElementsAre("settings not saved to /opt/solka/solka.ini: Permission denied"));
  EXPECT_EQ(p.files.Contents(kIni), "[SETTING]\nHint=0\n");

  // The folder gone: the dialog's save and the one at exit each say so.
  p.files.Remove("/opt/solka/solka.ini");
  p.files.Remove("/opt/solka");
  p.diagnostics.lines.clear();
  t.SaveDialogSettings();
  t.SaveSettings();
  const std::string gone = "settings not saved to /opt/solka/solka.ini: No such file or directory";
  EXPECT_THAT(p.diagnostics.lines, ElementsAre(gone, gone));
}

// An installed program's folder takes no new files, but a settings file there that the user may
// write stays in use and is rewritten in place.
TEST_F(SettingsTest, WritableFileInAReadOnlyFolderStaysInUse) {
  p.files.AddFile(kIni, "[SETTING]\nHint=0\n");
  p.files.SetReadOnlyFolder("/opt/solka");
  TDODEDEV& t = Start();
  EXPECT_EQ(t.Startup().SettingsFilePath, kIni);
  t.SaveSettings();
  EXPECT_THAT(p.diagnostics.lines, IsEmpty());
  EXPECT_EQ(Saved("Hint"), "0");
  EXPECT_EQ(Saved("Volume"), "0");  // added by the save
}

}  // namespace
}  // namespace solka
