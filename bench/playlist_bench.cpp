// Times the list operations on 100,000 entries and prints one line per figure.
//   playlist_bench [FOLDER]   (FOLDER receives the list file; default the temporary folder)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "app/tdodedev.h"
#include "platform/memory/test_platform.h"
#include "platform/posix/posix_codec.h"
#include "platform/posix/posix_files.h"
#include "playlist/list_file.h"

namespace {

using namespace solka;

constexpr std::size_t kEntries = 100'000;

// Paths shaped like a music collection: artist and album folders, numbered tracks, some
// Japanese names; generated in a scrambled order so that sorting has work to do.
std::vector<std::string> Paths() {
  std::vector<std::string> paths;
  paths.reserve(kEntries);
  std::uint32_t x = 12345;
  for (std::size_t i = 0; i < kEntries; ++i) {
    x = x * 1103515245u + 12345u;
    const unsigned artist = (x >> 8) % 2000, album = (x >> 4) % 7, track = i % 50;
    paths.push_back("/home/user/Music/" + std::string(artist % 3 ? "Artist " : "歌手 ") +
                    std::to_string(artist) + "/Album " + std::to_string(album) + "/" +
                    std::to_string(track) + " Track " + std::to_string(i) + ".mp3");
  }
  return paths;
}

struct Figure {
  double wall = 1e9, cpu = 1e9;  // milliseconds
};

// Best of a few runs. The processor time is printed too: on a shared, busy machine it tells
// what the operation costs better than the wall clock does.
Figure Time(const std::function<void()>& prepare, const std::function<void()>& run) {
  Figure best;
  for (int i = 0; i < 5; ++i) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    run();
    const std::clock_t cpuEnd = std::clock();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best.wall = std::min(best.wall, took.count());
    best.cpu = std::min(best.cpu, 1000.0 * static_cast<double>(cpuEnd - cpuStart) / CLOCKS_PER_SEC);
  }
  return best;
}

void Report(const char* what, Figure f) {
  std::printf("%-52s %8.1f ms  (%.1f ms processor)\n", what, f.wall, f.cpu);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> paths = Paths();
  TestPlatform p;
  TDODEDEV player(p.services, {});
  // The player's list is filled the way the list-file command fills it; the sorted-list figures
  // are taken on a list of its own.
  p.files.AddFile("/bench.m3u", EncodeListFile(paths));
  const auto fill = [&] { player.LoadListFile("/bench.m3u"); };
  StringList list;

  Report("RefreshListBox, 100,000 entries", Time(fill, [&] { player.RefreshListBox(); }));
  Report("FitScrollWidth (core side), 100,000 rows", Time([] {}, [&] { player.FitScrollWidth(); }));
  Report("sorted additions: 100,000 into an empty sorted list", Time(
                                                                    [&] {
                                                                      list.Clear();
                                                                      list.SetSorted(true);
                                                                    },
                                                                    [&] { list.AddAll(paths); }));
  Report("sorted additions: 100,000 again (all refused)", Time([] {}, [&] { list.AddAll(paths); }));
  Report("sorted additions: 1,000 one at a time into 100,000",
         Time(
             [&] {
               list.Clear();
               list.SetSorted(true);
               list.AddAll({paths.begin() + 1000, paths.end()});
             },
             [&] {
               for (std::size_t i = 0; i < 1000; ++i) list.Add(paths[i]);
             }));
  Report("sort by path (switch sorted on), 100,000 entries", Time(
                                                                 [&] {
                                                                   list.SetSorted(false);
                                                                   list.Assign(paths);
                                                                 },
                                                                 [&] { list.SetSorted(true); }));
  Report("shuffle, 100,000 entries", Time(fill, [&] { player.ShufflePlayList(true); }));

  // The list file on the real file system, through the same calls the commands use.
  PosixFileSystem files;
  PosixCodec codec;
  const std::string folder = argc > 1 ? std::string(argv[1]) + "/" : files.TempFolder();
  const std::string file = folder + "solka-bench-list.m3u";
  std::string error;
  Report("write a 100,000-line list file",
         Time([] {}, [&] { error = files.WriteFileAtomic(file, EncodeListFile(paths)); }));
  if (!error.empty()) std::printf("write failed: %s\n", error.c_str());
  std::size_t lines = 0;
  Report("read a 100,000-line list file",
         Time([] {}, [&] { lines = ReadListFile(files, codec, file).lines.size(); }));
  // A legacy list file: every line in CP932.
  std::string legacy;
  for (std::size_t i = 0; i < kEntries; ++i)
    legacy += "D:\\\x89\xB9\x8A\x79\\\x83\x5C\x83\x8D " + std::to_string(i) + ".mp3\r\n";
  Report("decode a 100,000-line legacy list file",
         Time([] {}, [&] { lines = DecodeListFile(legacy, codec).size(); }));
  std::printf("lines read: %zu\n", lines);
  std::remove(file.c_str());
  return 0;
}
