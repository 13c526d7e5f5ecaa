// Folder scan speed on a generated tree of 100,000 files in 1,000 folders, beside `find -type f`
// over the same tree in the same run. Prints files per second and the ratios.
//
// Usage: scan_bench [rounds]   (the tree goes to the temporary folder and is removed afterwards)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/tdodedev.h"
#include "platform/memory/test_platform.h"
#include "platform/posix/posix_files.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kGroups = 20, kFoldersPerGroup = 50, kFilesPerFolder = 100;
constexpr int kFiles = kGroups * kFoldersPerGroup * kFilesPerFolder;

// Mostly tracks, with the pictures and notes a real music folder holds.
const char* ExtensionFor(int i) {
  if (i % 20 == 0) return ".jpg";
  if (i % 20 == 1) return ".txt";
  if (i % 7 == 0) return ".FLAC";
  return ".mp3";
}

bool MakeTree(const std::string& root) {
  for (int g = 0; g < kGroups; ++g) {
    const std::string group = root + "Artist " + std::to_string(g) + "/";
    if (::mkdir(group.c_str(), 0700) != 0) return false;
    for (int f = 0; f < kFoldersPerGroup; ++f) {
      const std::string folder = group + "Album " + std::to_string(f) + "/";
      if (::mkdir(folder.c_str(), 0700) != 0) return false;
      for (int i = 0; i < kFilesPerFolder; ++i) {
        // Scattered case, so the sorted state has real work to do.
        const std::string name = (i % 3 ? "track " : "Track ") +
                                 std::to_string((i * 37) % kFilesPerFolder) + ExtensionFor(i);
        const int fd = ::open((folder + name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) return false;
        ::close(fd);
      }
    }
  }
  return true;
}

struct Figures {
  double best = 0, median = 0;  // seconds
};

Figures Time(int rounds, const std::function<void()>& run) {
  std::vector<double> seconds;
  for (int r = 0; r < rounds; ++r) {
    const auto start = Clock::now();
    run();
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::sort(seconds.begin(), seconds.end());
  return {seconds.front(), seconds[seconds.size() / 2]};
}

void Print(const char* what, const Figures& f, std::size_t items) {
  std::printf("%-28s best %8.1f ms  median %8.1f ms  %12.0f files/s\n", what, f.best * 1e3,
              f.median * 1e3, kFiles / f.best);
  if (items) std::printf("%-28s %zu entries in the play list\n", "", items);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace solka;
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  PosixFileSystem files;
  std::string root = files.TempFolder() + "solka-scan-bench-XXXXXX";
  if (!::mkdtemp(root.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  root += "/";
  std::printf("tree: %d files in %d folders under %s\n", kFiles, kGroups * kFoldersPerGroup,
              root.c_str());
  int status = 0;
  if (MakeTree(root)) {
    TestPlatform p;
    PlatformServices services{files,    p.codec, p.clock, p.loop,  p.dialogs,
                              p.screen, p.shell, p.power, p.media, p.diagnostics};
    TDODEDEV player(services, {"/prog/solka", ""});
    // Settings never read: the standard set of file types. An empty list file outside the tree
    // empties the play list between rounds.
    std::string empty = files.TempFolder() + "solka-bench-XXXXXX.m3u";
    const int fd = ::mkstemps(empty.data(), 4);
    if (fd >= 0) ::close(fd);

    const std::string find = "find '" + root + "' -type f > /dev/null";
    auto scan = [&](bool sorted) {
      player.LoadListFile(empty);
      player.N1Click(sorted ? "N1" : "N2");  // list order sorts the list, random order does not
      player.ScanFolder(root);
    };
    // One pass of each first, so every figure is taken with the tree in the page cache.
    status = std::system(find.c_str());
    scan(false);

    const Figures byFind = Time(rounds, [&] { status |= std::system(find.c_str()); });
    const Figures unsorted = Time(rounds, [&] { scan(false); });
    const std::size_t unsortedCount = player.List().PlayList.size();
    const Figures sorted = Time(rounds, [&] { scan(true); });
    const std::size_t sortedCount = player.List().PlayList.size();

    Print("find -type f", byFind, 0);
    Print("ScanFolder, unsorted", unsorted, unsortedCount);
    Print("ScanFolder, sorted state on", sorted, sortedCount);
    std::printf("unsorted / find:   %.2f (best)  %.2f (median)\n", unsorted.best / byFind.best,
                unsorted.median / byFind.median);
    std::printf("sorted / unsorted: %.2f (best)  %.2f (median)\n", sorted.best / unsorted.best,
                sorted.median / unsorted.median);
    std::error_code ignored;
    std::filesystem::remove(empty, ignored);
  } else {
    std::perror("making the tree");
    status = 1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return status == 0 ? 0 : 1;
}
