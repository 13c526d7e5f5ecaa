// The program chosen to run at exit, started for real from the close of the main window: the
// settings are written to a real file and the program runs detached after the player's wait.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
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
  }

  // Starts the player from the temporary folder, whose settings choose `program` to run at exit.
  void StartChoosing(const fs::path& program) {
    std::ofstream(dir / "solka.ini")
        << "[SETTING]\nRun_App=1\nAppName=" << program.string() << "\n";
    player = std::make_unique<TDODEDEV>(services, ProcessInfo{(dir / "solka").string(), ""});
    player->FormCreate();
    memory.loop.RunUntilIdle();
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
  std::unique_ptr<TDODEDEV> player;
};

TEST_F(RunAppTest, ExistingProgramRunsAfterTheSettingsAreSaved) {
  StartChoosing(script);
  player->FormClose();
  EXPECT_TRUE(fs::exists(dir / "solka.ini"));
  EXPECT_EQ(memory.clock.Sleeps(), std::vector<int>{2000});
  EXPECT_TRUE(Ran());
}

TEST_F(RunAppTest, MissingProgramIsSkippedSilently) {
  StartChoosing(dir / "gone.sh");
  player->FormClose();
  EXPECT_TRUE(fs::exists(dir / "solka.ini"));
  EXPECT_TRUE(memory.clock.Sleeps().empty());
  EXPECT_FALSE(fs::exists(dir / "ran.txt"));
}

}  // namespace
}  // namespace solka
