// A player on the in-memory platform with a list of playable tracks, and helpers to play
// through it with scripted end-of-stream events.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/tdodedev.h"
#include "platform/memory/test_platform.h"
#include "settings/ini_file.h"
#include "settings/keys.h"

namespace solka {

// The value a settings file in the in-memory file system holds for a [SETTING] key.
inline std::string SavedSetting(const MemoryFileSystem& files, const std::string& path,
                                std::string_view key) {
  return IniFile(files.Contents(path)).ReadString("SETTING", key, "<missing>");
}

class PlayerTest : public ::testing::Test {
 protected:
  PlayerTest() {
    player.Settings.resize(kSettingsCount);
    for (int key = 0; key < kKeyCount; ++key) player.Settings[key] = kKeys[key].defaultValue;
  }

  // Tracks /music/<folder>/tN.mp3 of `seconds` each; the list box shows them, none selected.
  void LoadTracks(int count, double seconds = 200) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) paths.push_back("/music/album/t" + std::to_string(i) + ".mp3");
    LoadPaths(paths, seconds);
  }
  void LoadPaths(const std::vector<std::string>& paths, double seconds = 200) {
    for (const std::string& path : paths) p.media.AddPlayable(path, seconds);
    player.PlayList.Assign(paths);
    player.RefreshListBox();
  }

  // Checks the order-of-play items as start-up does for a mode code.
  void SetMode(int code) {
    const char* order = code == 3 || code == 4 ? "N2" : "N1";
    const char* repeat = code == 5 ? "R1" : code == 2 || code == 4 ? "R3" : "R2";
    for (const char* item : {"N1", "N2", "R1", "R2", "R3"})
      player.Form.SetChecked(item, item == std::string(order) || item == std::string(repeat));
    player.ModeCode = code;
  }

  void FinishTrack() {
    p.media.FinishTrack();
    p.loop.RunUntilIdle();
  }
  // Ends tracks until playback stops or `limit` further tracks have started.
  void PlayOn(int limit) {
    for (int i = 0; i < limit && player.Playing; ++i) FinishTrack();
  }
  // Every path rendered so far, in order.
  std::vector<std::string> Rendered() const {
    std::vector<std::string> out;
    for (const std::string& entry : p.media.log)
      if (entry.rfind("render ", 0) == 0) out.push_back(entry.substr(7));
    return out;
  }
  std::string Entry(int row) const { return player.PlayList[row]; }

  TestPlatform p;
  TDODEDEV player{p.services, {"/opt/solka/solka", ""}};
};

}  // namespace solka
