#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/posix/dry_run_power.h"
#include "platform/posix/posix_shell.h"
#include "platform/posix/spawn.h"
#include "tests/temp_folder.h"

namespace solka {
namespace {

namespace fs = std::filesystem;

// A script that records its arguments (one a line) and its open descriptors, then renames the
// record into place so that a reader never sees half of it.
class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.Made());
    script = dir / "record.sh";
    std::ofstream(script) << "#!/bin/sh\n"
                             "d=$(dirname \"$0\")\n"
                             "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$d/args.tmp\"\n"
                             "ls -l /proc/$$/fd > \"$d/fds.txt\"\n"
                             "mv \"$d/args.tmp\" \"$d/args.txt\"\n";
    fs::permissions(script, fs::perms::owner_all);
  }

  // The recorded arguments, waiting up to ten seconds for the script to finish.
  std::string Recorded() {
    const fs::path record = dir / "args.txt";
    testing_files::WaitForFile(record);
    std::ifstream in(record);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static bool HasUnreapedChild() {
    int status = 0;
    return waitpid(-1, &status, WNOHANG) != -1;
  }

  testing_files::TempFolder folder;
  const fs::path& dir = folder.Path();
  fs::path script;
  PosixShell shell;
};

TEST_F(ShellTest, StartPassesArgumentsVerbatimWithoutAShell) {
  shell.Start(script.string(), {"-c", "TDODEDEV", "a b", "$(touch pwned)", ";", ""});
  EXPECT_EQ(Recorded(), "-c\nTDODEDEV\na b\n$(touch pwned)\n;\n\n");
  EXPECT_FALSE(fs::exists(dir / "pwned"));
  EXPECT_FALSE(fs::exists("pwned"));
  EXPECT_FALSE(HasUnreapedChild());
}

TEST_F(ShellTest, OpenRunsAnExecutableFileItself) {
  shell.Open(script.string());
  EXPECT_EQ(Recorded(), "");
  EXPECT_FALSE(HasUnreapedChild());
}

TEST_F(ShellTest, StartedProgramInheritsNoDescriptorOfThePlayer) {
  const fs::path marker = dir / "held-open-by-the-player";
  std::ofstream(marker) << "x";
  const int leaked = open(marker.c_str(), O_RDONLY);  // no close-on-exec, like a careless lock
  ASSERT_GE(leaked, 3);
  shell.Start(script.string(), {});
  Recorded();
  close(leaked);
  std::ifstream in(dir / "fds.txt");
  std::stringstream fds;
  fds << in.rdbuf();
  EXPECT_NE(fds.str(), "");
  EXPECT_EQ(fds.str().find(marker.filename().string()), std::string::npos) << fds.str();
}

TEST_F(ShellTest, MissingProgramFailsPromptlyAndQuietlyForThePlayer) {
  ::testing::internal::CaptureStderr();
  shell.Start((dir / "missing").string(), {});
  shell.Open("");
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("solka: cannot start"), std::string::npos);
  EXPECT_FALSE(HasUnreapedChild());
}

TEST(DryRunPower, WritesOneLinePerActionAndNothingElse) {
  DryRunPower power;
  ::testing::internal::CaptureStderr();
  power.HoldIdleLock(true);
  power.PowerOff();
  power.Suspend();
  power.Hibernate();
  power.MonitorOff();
  power.HoldIdleLock(false);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "solka: power: power-off\nsolka: power: suspend\nsolka: power: hibernate\n"
            "solka: power: monitor-off\n");
}

}  // namespace
}  // namespace solka
