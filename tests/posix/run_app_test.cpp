// The program chosen to run at exit, started for real from the close of the main window: the
// settings are written to a real file and the program runs detached after the player's wait.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/tdodedev.h"
#include "platform/memory/test_platform.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_shell.h"
#include "settings/keys.h"
#include "tests/temp_folder.h"

namespace solka {
namespace {

namespace fs = std::filesystem;

class RunAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.Made());
    script = dir / "after exit.sh";  // a blank in the name must not split it
    std::ofstream(script) << "#!/bin/sh\necho ran > \"$(dirname \"$0\")/ran.txt\"\n";
    fs::permissions(script, fs::perms::owner_all);
    player.Settings.resize(kSettingsCount);
    player.SettingsFilePath = (dir / "solka.ini").string();
    player.Settings[Run_App] = "1";
  }

  // Waits up to ten seconds for the script's record.
  bool Ran() { return testing_files::WaitForFile(dir / "ran.txt"); }

  testing_files::TempFolder folder;
  const fs::path& dir = folder.Path();
  fs::path script;
  TestPlatform memory;
  PosixFileSystem files;
  PosixShell shell;
  PlatformServices services{files,          memory.codec,      memory.clock, memory.loop,
                            memory.dialogs, memory.screen,     shell,        memory.power,
                            memory.media,   memory.diagnostics};
  TDODEDEV player{services, {"/opt/solka/solka", ""}};
};

TEST_F(RunAppTest, ExistingProgramRunsAfterTheSettingsAreSaved) {
  player.Settings[AppName] = script.string();
  player.FormClose();
  EXPECT_TRUE(fs::exists(dir / "solka.ini"));
  EXPECT_EQ(memory.clock.Sleeps(), std::vector<int>{2000});
  EXPECT_TRUE(Ran());
}

TEST_F(RunAppTest, MissingProgramIsSkippedSilently) {
  player.Settings[AppName] = (dir / "gone.sh").string();
  player.FormClose();
  EXPECT_TRUE(fs::exists(dir / "solka.ini"));
  EXPECT_TRUE(memory.clock.Sleeps().empty());
  EXPECT_FALSE(fs::exists(dir / "ran.txt"));
}

}  // namespace
}  // namespace solka
