#include "platform/posix/posix_files.h"

#include <dirent.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/tdodedev.h"
#include "platform/memory/test_platform.h"
#include "tests/temp_folder.h"

namespace solka {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

// A private folder under the temporary folder, removed with everything in it.
class TempTree : public ::testing::Test {
 protected:
  TempTree() {
    if (folder.Made()) root = folder.Path().string() + "/";
  }
  void Write(const std::string& relative, const std::string& bytes = "x") {
    std::filesystem::create_directories(std::filesystem::path(root + relative).parent_path());
    std::ofstream(root + relative, std::ios::binary) << bytes;
  }
  void Link(const std::string& relative, const std::string& target) {
    ASSERT_EQ(::symlink(target.c_str(), (root + relative).c_str()), 0);
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(root))
      names.push_back(e.path().filename());
    return names;
  }

  testing_files::TempFolder folder;
  PosixFileSystem files;
  std::string root;
};

TEST_F(TempTree, ListingIsInNameOrderAndTellsFoldersByTheirTarget) {
  // Made in an order that is neither name order nor, most likely, readdir's.
  for (const char* name :
       {"03 c.mp3", "B.mp3", "01 a.mp3", "a.mp3", "_x.mp3", "02 b.mp3", "A.mp3", "b.mp3",
        "\xC3\xA9t\xC3\xA9.mp3", "Z.mp3", "long name B.mp3", "LONG NAME a.mp3"})
    Write(name);
  Write(".hidden.mp3");
  Write("sub/inner.mp3");
  Link("to-sub", "sub");
  Link("dangling.mp3", "missing-target");

  std::vector<DirEntry> entries;
  ASSERT_TRUE(files.ListFolder(root, entries));
  std::vector<std::string> listed;
  for (const DirEntry& e : entries) listed.push_back(e.name);
  // Case is ignored; names equal but for case keep byte order; other bytes compare as they are.
  EXPECT_THAT(listed,
              ElementsAre(".hidden.mp3", "01 a.mp3", "02 b.mp3", "03 c.mp3", "_x.mp3", "A.mp3",
                          "a.mp3", "B.mp3", "b.mp3", "dangling.mp3", "LONG NAME a.mp3",
                          "long name B.mp3", "sub", "to-sub", "Z.mp3", "\xC3\xA9t\xC3\xA9.mp3"));

  auto find = [&](const std::string& name) {
    return *std::find_if(entries.begin(), entries.end(),
                         [&](const DirEntry& e) { return e.name == name; });
  };
  EXPECT_TRUE(find("sub").isDirectory);
  EXPECT_TRUE(find("to-sub").isDirectory);
  EXPECT_EQ(find("to-sub").id, find("sub").id);
  EXPECT_EQ(find("sub").id, files.IdOf(root + "sub/"));
  EXPECT_FALSE(find("dangling.mp3").isDirectory);
  EXPECT_FALSE(find(".hidden.mp3").isDirectory);

  std::vector<DirEntry> none;
  EXPECT_FALSE(files.ListFolder(root + "missing/", none));
  EXPECT_TRUE(none.empty());
  EXPECT_FALSE(files.IdOf(root + "f1.mp3").has_value());
}

TEST_F(TempTree, ScanThroughTheRealFileSystemEndsALinkLoop) {
  Write("a.mp3");
  Write("sub/b.mp3");
  Write("sub/deeper/c.ogg");
  Link("sub/deeper/up", "../..");
  Link("sub/self", ".");

  TestPlatform p;
  PlatformServices services{files,    p.codec, p.clock, p.loop,  p.dialogs,
                            p.screen, p.shell, p.power, p.media, p.diagnostics};
  TDODEDEV player(services, {"/prog/solka", ""});
  // Settings never read: the standard set of file types.
  player.ScanFolder(root);
  EXPECT_THAT(player.List().PlayList.Items(),
              UnorderedElementsAre(root + "a.mp3", root + "sub/b.mp3", root + "sub/deeper/c.ogg"));
}

// Memory file systems mounted for one test (which needs the privilege to mount), taken down
// again whatever the test's outcome.
class Mounts {
 public:
  bool Add(const std::string& folder) {
    std::filesystem::create_directories(folder);
    if (::mount("solka-test", folder.c_str(), "tmpfs", 0, "size=1m") != 0) return false;
    mounted_.push_back(folder);
    return true;
  }
  ~Mounts() {
    for (auto it = mounted_.rbegin(); it != mounted_.rend(); ++it)
      ::umount2(it->c_str(), MNT_DETACH);
  }

 private:
  std::vector<std::string> mounted_;
};

TEST_F(TempTree, ScanOfAMountPointKeepsToItsFileSystem) {
  Mounts mounts;
  if (!mounts.Add(root + "drive")) GTEST_SKIP() << "cannot mount here: " << std::strerror(errno);
  Write("drive/a.mp3");
  Write("drive/sub/c.mp3");
  ASSERT_TRUE(mounts.Add(root + "drive/other"));
  Write("drive/other/b.mp3");
  EXPECT_EQ(files.DriveOf(root + "drive/sub/c.mp3"), root + "drive/");

  TestPlatform p;
  PlatformServices services{files,    p.codec, p.clock, p.loop,  p.dialogs,
                            p.screen, p.shell, p.power, p.media, p.diagnostics};
  TDODEDEV drive(services, {"/prog/solka", ""});
  drive.ScanFolder(root + "drive/");
  EXPECT_THAT(drive.List().PlayList.Items(),
              ElementsAre(root + "drive/a.mp3", root + "drive/sub/c.mp3"));
  // The folder that holds the drive is no drive: the walk goes into both.
  TDODEDEV above(services, {"/prog/solka", ""});
  above.ScanFolder(root);
  EXPECT_EQ(above.List().PlayList.size(), 3u);
}

TEST_F(TempTree, ReadsWholeFilesAndRangesWithTheSystemsReason) {
  Write("list.m3u", "0123456789");
  EXPECT_EQ(files.ReadFile(root + "list.m3u").bytes, "0123456789");
  EXPECT_EQ(files.ReadRange(root + "list.m3u", 3, 4).bytes, "3456");
  const ReadResult pastEnd = files.ReadRange(root + "list.m3u", 20, 4);
  EXPECT_TRUE(pastEnd.ok);
  EXPECT_EQ(pastEnd.bytes, "");
  EXPECT_EQ(files.FileSize(root + "list.m3u"), 10u);

  const ReadResult missing = files.ReadFile(root + "none.m3u");
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.error, "No such file or directory");
  EXPECT_FALSE(files.ReadFile(root).ok);
  EXPECT_FALSE(files.FileExists(root));
  EXPECT_FALSE(files.FileSize(root).has_value());

  // A pipe would block a plain open; it is refused at once instead.
  ASSERT_EQ(::mkfifo((root + "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(files.ReadFile(root + "pipe").ok);

  // Paths past the system's limit are refused with its reason, never overrun.
  const std::string tooLong = root + std::string(5000, 'a') + "/x.m3u";
  EXPECT_EQ(files.ReadFile(tooLong).error, "File name too long");
  EXPECT_EQ(files.WriteFileAtomic(tooLong, "x"), "File name too long");
  std::vector<DirEntry> entries;
  EXPECT_FALSE(files.ListFolder(root + std::string(5000, 'a') + "/", entries));

  // The kernel's own files report no size; they still read whole.
  EXPECT_THAT(files.ReadFile("/proc/self/mountinfo").bytes, HasSubstr(" - "));
}

TEST_F(TempTree, AtomicWriteReplacesWholeAndLeavesNothingBehind) {
  EXPECT_EQ(files.WriteFileAtomic(root + "solka.ini", "first"), "");
  Write("other.txt");
  ::chmod((root + "solka.ini").c_str(), 0640);
  EXPECT_EQ(files.WriteFileAtomic(root + "solka.ini", "second"), "");
  EXPECT_EQ(files.ReadFile(root + "solka.ini").bytes, "second");
  struct stat st {};
  ::stat((root + "solka.ini").c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_THAT(Names(), UnorderedElementsAre("solka.ini", "other.txt"));

  // A link stays a link; the file it leads to is replaced.
  Link("link.ini", "solka.ini");
  EXPECT_EQ(files.WriteFileAtomic(root + "link.ini", "third"), "");
  EXPECT_TRUE(std::filesystem::is_symlink(root + "link.ini"));
  EXPECT_EQ(files.ReadFile(root + "solka.ini").bytes, "third");

  EXPECT_EQ(files.WriteFileAtomic(root + "missing/x.ini", "x"), "No such file or directory");
}

TEST_F(TempTree, FailedWriteKeepsTheOldFile) {
  Write("solka.ini", "old");
  // A file size limit makes the write itself fail, for root as well.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 4;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const std::string error = files.WriteFileAtomic(root + "solka.ini", std::string(100, 'n'));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(error, "File too large");
  EXPECT_EQ(files.ReadFile(root + "solka.ini").bytes, "old");
  EXPECT_THAT(Names(), ElementsAre("solka.ini"));
}

// A file the user made read-only is theirs: no save replaces it, root's included. What a killed
// save left behind goes with the next save into that folder, and only that.
TEST_F(TempTree, ReadOnlyFileIsLeftAsItIsAndLeftoversOfKilledSavesGo) {
  Write("solka.ini", "mine");
  ::chmod((root + "solka.ini").c_str(), 0444);
  EXPECT_FALSE(files.IsWritableFile(root + "solka.ini"));
  EXPECT_EQ(files.WriteFileAtomic(root + "solka.ini", "new"), "Permission denied");
  EXPECT_EQ(files.ReadFile(root + "solka.ini").bytes, "mine");
  struct stat st {};
  ::stat((root + "solka.ini").c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0444u);

  const pid_t gone = ::fork();
  if (gone == 0) std::_Exit(0);
  ASSERT_GT(gone, 0);
  ::waitpid(gone, nullptr, 0);
  const std::string dead = ".solka-" + std::to_string(gone) + "-7.tmp";
  const std::string live = ".solka-" + std::to_string(::getpid()) + "-99999.tmp";
  for (const std::string& name : {dead, live, std::string(".solka-notes.tmp"), dead + ".bak"})
    Write(name);
  EXPECT_EQ(files.WriteFileAtomic(root + "list.m3u", "x"), "");
  EXPECT_THAT(Names(), UnorderedElementsAre("solka.ini", "list.m3u", live, ".solka-notes.tmp",
                                            dead + ".bak"));
}

// Permissions do not bind root, so as root the checks run in a child that has given up its
// privileges first. A folder that takes no new files still lets a file the user may write be
// rewritten in place, and never half-way for lack of space.
TEST_F(TempTree, ReadOnlyFolderRewritesAWritableFileInPlace) {
  Write("ro/solka.ini", "old settings");
  Write("ro/other.ini", "other");
  Write("ro/list.m3u", "secret");
  ::chmod(root.c_str(), 0755);
  ::chmod((root + "ro/solka.ini").c_str(), 0666);
  ::chmod((root + "ro/other.ini").c_str(), 0644);
  ::chmod((root + "ro/list.m3u").c_str(), 0);
  ::chmod((root + "ro").c_str(), 0555);
  const auto checks = [this] {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(2);
    const auto check = [](bool ok, const char* what) {
      if (!ok) {
        std::fprintf(stderr, "failed: %s\n", what);
        std::_Exit(1);
      }
    };
    check(!files.IsWritableFolder(root + "ro/"), "folder writable");
    check(files.IsWritableFile(root + "ro/solka.ini"), "file not writable");
    check(files.WriteFileAtomic(root + "ro/solka.ini", "new") == "", "in-place write");
    check(files.ReadFile(root + "ro/solka.ini").bytes == "new", "content after the write");
    check(files.WriteFileAtomic(root + "ro/other.ini", "x") == "Permission denied", "other");
    check(files.ReadFile(root + "ro/other.ini").bytes == "other", "other's content");
    check(files.WriteFileAtomic(root + "ro/fresh.ini", "x") == "Permission denied", "fresh");
    check(files.ReadFile(root + "ro/list.m3u").error == "Permission denied", "unreadable");
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{4, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &small);
    check(files.WriteFileAtomic(root + "ro/solka.ini", std::string(100, 'n')) == "File too large",
          "size limit");
    check(files.ReadFile(root + "ro/solka.ini").bytes == "new", "content after the limit");
    std::_Exit(0);
  };
  EXPECT_EXIT(checks(), ::testing::ExitedWithCode(0), "");
  ::chmod((root + "ro").c_str(), 0700);
}

// Relative paths start where the user's shell stands: through the link they went by, when the
// shell's $PWD still leads to the current folder.
TEST_F(TempTree, FullPathIsAbsoluteAndNormalAsTheShellSeesIt) {
  Write("real/album/a.mp3");
  Link("via", "real/album");
  const std::filesystem::path saved = std::filesystem::current_path();
  const char* savedPwd = std::getenv("PWD");
  const std::string keptPwd = savedPwd ? savedPwd : "";
  ASSERT_EQ(::chdir((root + "via").c_str()), 0);

  ::setenv("PWD", (root + "via").c_str(), 1);
  EXPECT_EQ(files.FullPath("a.mp3"), root + "via/a.mp3");
  EXPECT_EQ(files.FullPath("."), root + "via/");
  EXPECT_EQ(files.FullPath(".."), root);
  EXPECT_EQ(files.FullPath("./x//y/../z.mp3"), root + "via/x/z.mp3");
  EXPECT_EQ(files.FullPath("/a/./b/../../c"), "/c");
  EXPECT_EQ(files.FullPath("/../.."), "/");
  EXPECT_EQ(files.FullPath(""), "");

  // A stale $PWD (somewhere else, or not absolute) gives way to the real current folder.
  for (const std::string& stale : {root + "real", std::string("via")}) {
    ::setenv("PWD", stale.c_str(), 1);
    EXPECT_EQ(files.FullPath(".."), root + "real/");
  }
  ::unsetenv("PWD");
  EXPECT_EQ(files.FullPath("a.mp3"), root + "real/album/a.mp3");

  std::filesystem::current_path(saved);
  if (savedPwd) ::setenv("PWD", keptPwd.c_str(), 1);
}

TEST_F(TempTree, MakeFoldersCreatesPrivateParents) {
  EXPECT_TRUE(files.MakeFolders(root + "a/b/c/"));
  struct stat st {};
  ASSERT_EQ(::stat((root + "a/b/c").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(files.IsWritableFolder(root + "a/b/c/"));
  // Root may write there, but a packaged program keeps its settings in the user's folder.
  EXPECT_FALSE(files.IsWritableFolder("/usr/bin/"));
  EXPECT_FALSE(files.IsWritableFolder("/usr/local/bin"));
  EXPECT_TRUE(files.MakeFolders(root + "a/b/c/"));  // already there
  Write("plain");
  EXPECT_FALSE(files.MakeFolders(root + "plain/sub/"));
  EXPECT_FALSE(files.IsWritableFolder(root + "plain"));
}

TEST(PosixDrives, DriveIsTheMountPointThatHoldsThePath) {
  PosixFileSystem files;
  EXPECT_EQ(files.DriveOf("/"), "/");
  EXPECT_EQ(files.DriveOf("/proc/self/status"), "/proc/");
  EXPECT_EQ(files.DriveOf("/proc"), "/proc/");
  EXPECT_EQ(files.DriveOf("/no/such/path/at/all.mp3"), "/");
  const std::string current = files.CurrentDriveRoot();
  EXPECT_EQ(current.back(), '/');
  EXPECT_EQ(files.DriveOf("relative-name.mp3"), current);
  EXPECT_NE(files.TypeOfDrive("/"), DriveType::Unknown);
  EXPECT_EQ(files.TypeOfDrive("/proc/"), DriveType::Fixed);
}

TEST(PosixFolders, TemporaryAndConfigFoldersFollowTheEnvironment) {
  PosixFileSystem files;
  const char* names[] = {"TMPDIR", "XDG_CONFIG_HOME", "HOME"};
  std::vector<std::optional<std::string>> saved;
  for (const char* name : names)
    saved.push_back(std::getenv(name) ? std::optional<std::string>(std::getenv(name))
                                      : std::nullopt);

  ::setenv("TMPDIR", "/var/tmp", 1);
  EXPECT_EQ(files.TempFolder(), "/var/tmp/");
  ::unsetenv("TMPDIR");
  EXPECT_EQ(files.TempFolder(), "/tmp/");

  ::setenv("HOME", "/home/u", 1);
  ::setenv("XDG_CONFIG_HOME", "/cfg/", 1);
  EXPECT_EQ(files.UserConfigFolder(), "/cfg/solka/");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);
  EXPECT_EQ(files.UserConfigFolder(), "/home/u/.config/solka/");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(files.UserConfigFolder(), "/home/u/.config/solka/");

  // The music folder is the desktop's user-dirs setting.
  testing_files::TempFolder config;
  ::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
  std::ofstream(config.File("user-dirs.dirs")) << "# x\nXDG_MUSIC_DIR=\"$HOME/My \\\"Music\\\"\"\n";
  EXPECT_EQ(files.MusicFolder(), "/home/u/My \"Music\"/");

  for (std::size_t i = 0; i < saved.size(); ++i) {
    if (saved[i])
      ::setenv(names[i], saved[i]->c_str(), 1);
    else
      ::unsetenv(names[i]);
  }
}

}  // namespace
}  // namespace solka
