// Players on the in-memory platform, set up the way the program sets itself up: the builder
// writes the settings file, runs the start-up (FormCreate and the first idle moment) and loads
// the tracks as a list file, so no test writes the player's state by hand.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/tdodedev.h"
#include "platform/memory/test_platform.h"
#include "settings/ini_file.h"
#include "settings/keys.h"

namespace solka {

inline constexpr const char* kTestProgram = "/opt/solka/solka";
inline constexpr const char* kTestIni = "/opt/solka/solka.ini";

// The value a settings file in the in-memory file system holds for a [SETTING] key.
inline std::string SavedSetting(const MemoryFileSystem& files, const std::string& path,
                                std::string_view key) {
  return IniFile(files.Contents(path)).ReadString("SETTING", key, "<missing>");
}

// Tracks /music/album/tN.mp3.
inline std::vector<std::string> TrackPaths(int count) {
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) paths.push_back("/music/album/t" + std::to_string(i) + ".mp3");
  return paths;
}

// Makes `paths` playable tracks of `seconds` each and puts them in the play list through the
// list-file command; the list box shows them, none selected.
// `seconds` 0 leaves the entries unplayable.
inline void LoadList(TestPlatform& p, TDODEDEV& player, const std::vector<std::string>& paths,
                     double seconds = 200) {
  std::string list;
  for (const std::string& path : paths) {
    if (seconds > 0) p.media.AddPlayable(path, seconds);
    list += path + "\r\n";
  }
  p.files.AddFile("/lists/fixture.m3u", list);
  ASSERT_TRUE(player.LoadListFile("/lists/fixture.m3u"));
  player.RefreshListBox();
}

class PlayerBuilder {
 public:
  explicit PlayerBuilder(TestPlatform& p) : p_(p) {}

  PlayerBuilder& Program(std::string path) {
    program_ = std::move(path);
    return *this;
  }
  PlayerBuilder& Argument(std::string argument) {
    argument_ = std::move(argument);
    return *this;
  }
  // A [SETTING] entry of the file the start-up reads: a key of keys.h, or one of the others
  // (Volume, MonitorPower, WMP_NowPlaying).
  PlayerBuilder& Setting(std::string_view key, std::string value) {
    lines_ += std::string(key) + "=" + value + "\n";
    return *this;
  }
  PlayerBuilder& Setting(Key key, std::string value) {
    return Setting(kKeys[key].name, std::move(value));
  }
  PlayerBuilder& Mode(int code) { return Setting(JukeMode, std::to_string(code)); }
  // The settings file as it is, instead of the entries above.
  PlayerBuilder& SettingsFile(std::string bytes) {
    file_ = std::move(bytes);
    return *this;
  }
  PlayerBuilder& Tracks(int count, double seconds = 200) {
    return Paths(TrackPaths(count), seconds);
  }
  PlayerBuilder& Paths(std::vector<std::string> paths, double seconds = 200) {
    paths_ = std::move(paths);
    seconds_ = seconds;
    return *this;
  }

  std::unique_ptr<TDODEDEV> Start() {
    p_.files.AddFolder(FolderOfProgram());
    if (file_) {
      p_.files.AddFile(FolderOfProgram() + "/solka.ini", *file_);
    } else if (!lines_.empty()) {
      p_.files.AddFile(FolderOfProgram() + "/solka.ini", "[SETTING]\n" + lines_);
    }
    auto player = std::make_unique<TDODEDEV>(p_.services, ProcessInfo{program_, argument_});
    player->FormCreate();
    idleInstalled_ = p_.loop.HasIdleHandler();
    p_.loop.RunUntilIdle();
    if (!paths_.empty()) LoadList(p_, *player, paths_, seconds_);
    return player;
  }

  // Whether the start-up left the first-idle step to the event loop.
  bool IdleInstalled() const { return idleInstalled_; }

 private:
  std::string FolderOfProgram() const { return program_.substr(0, program_.rfind('/')); }

  TestPlatform& p_;
  std::string program_ = kTestProgram;
  std::string argument_;
  std::string lines_;
  std::optional<std::string> file_;
  std::vector<std::string> paths_;
  double seconds_ = 200;
  bool idleInstalled_ = false;
};

// A started player with default settings and an empty list, and helpers to play through it
// with scripted end-of-stream events.
class PlayerTest : public ::testing::Test {
 protected:
  PlayerTest() = default;
  // A player started with this settings file instead of the defaults.
  explicit PlayerTest(std::string settingsFile)
      : owned_(PlayerBuilder(p).SettingsFile(std::move(settingsFile)).Start()) {}

  // Tracks /music/album/tN.mp3 of `seconds` each.
  void LoadTracks(int count, double seconds = 200) { LoadPaths(TrackPaths(count), seconds); }
  void LoadPaths(const std::vector<std::string>& paths, double seconds = 200) {
    LoadList(p, player, paths, seconds);
  }
  // Entries the player cannot play unless the test made them playable.
  void LoadEntries(const std::vector<std::string>& paths) { LoadPaths(paths, 0); }
  // An empty play list and list box.
  void ClearList() { LoadPaths({}); }

  // Chooses the order and repetition of a mode code in the order-of-play menu, as the user does.
  void SetMode(int code) {
    player.N1Click(code == 3 || code == 4 ? "N2" : "N1");
    player.N1Click(code == 5 ? "R1" : code == 2 || code == 4 ? "R3" : "R2");
  }
  // The user picks a row (-1: none) without starting it.
  void Select(int row) { player.FormForView().SetItemIndexFromView(row); }
  // Arms the after-the-list sleep the way the menu does; needs rows and a mode that plays once.
  void ArmAfterList() {
    player.N23Click();
    ASSERT_TRUE(player.Sleep().SleepAfterListEnd);
  }

  void FinishTrack() {
    p.media.FinishTrack();
    p.loop.RunUntilIdle();
  }
  // Ends tracks until playback stops or `limit` further tracks have started.
  void PlayOn(int limit) {
    for (int i = 0; i < limit && player.Playback().Playing; ++i) FinishTrack();
  }
  // Every path rendered so far, in order.
  std::vector<std::string> Rendered() const {
    std::vector<std::string> out;
    for (const std::string& entry : p.media.log)
      if (entry.rfind("render ", 0) == 0) out.push_back(entry.substr(7));
    return out;
  }
  std::string Entry(int row) const { return player.List().PlayList[row]; }

  TestPlatform p;
  std::unique_ptr<TDODEDEV> owned_ = PlayerBuilder(p).Start();
  TDODEDEV& player = *owned_;
};

}  // namespace solka
