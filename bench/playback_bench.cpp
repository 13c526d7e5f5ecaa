// Track start and track change on the real engine, through the player's own start and
// end-of-track steps: the time from PlayFile to the first buffer the sink plays, and the
// silence between the last buffer of one track and the first buffer of the next when a
// continuous run changes tracks by itself. Silent sink that keeps real time.
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <mutex>
#include <vector>

#include "app/tdodedev.h"
#include "platform/gst/gst_graph.h"
#include "platform/gst/gst_media.h"
#include "platform/memory/test_platform.h"
#include "playlist/list_file.h"
#include "settings/keys.h"
#include "tests/gst/audio_fixtures.h"

namespace solka {
namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Closures posted from streaming threads, run on the bench's main thread.
class MainQueue {
 public:
  void Post(std::function<void()> task) {
    {
      std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    ready_.notify_one();
  }
  // Waits for at least one task, then hands all that are there to `loop`.
  bool MoveTo(ManualEventLoop& loop, std::chrono::seconds limit) {
    std::unique_lock lock(mutex_);
    if (!ready_.wait_for(lock, limit, [this] { return !tasks_.empty(); })) return false;
    while (!tasks_.empty()) {
      loop.Post(std::move(tasks_.front()));
      tasks_.pop_front();
    }
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> tasks_;
};

// When each graph's sink played its first buffer and finished its last one.
struct SinkTimes {
  std::mutex mutex;
  Clock::time_point created, first, lastEnd;
  bool played = false;
};

void OnHandoff(GstElement*, GstBuffer* buffer, GstPad*, gpointer data) {
  auto& times = *static_cast<SinkTimes*>(data);
  const auto now = Clock::now();
  const auto length = GST_BUFFER_DURATION_IS_VALID(buffer)
                          ? std::chrono::nanoseconds(GST_BUFFER_DURATION(buffer))
                          : std::chrono::nanoseconds(0);
  std::lock_guard lock(times.mutex);
  if (!times.played) times.first = now;
  times.played = true;
  times.lastEnd = now + std::chrono::duration_cast<Clock::duration>(length);
}

// The real back end, with a watch on the sink of every graph it builds.
class TimedBackend : public MediaBackend {
 public:
  explicit TimedBackend(PostToGui post) : real_(std::move(post), Options()) {}

  std::unique_ptr<MediaGraph> CreateGraph() override {
    auto graph = real_.CreateGraph();
    auto& times = *graphs.emplace_back(std::make_unique<SinkTimes>());
    times.created = Clock::now();
    GstElement* bin = nullptr;
    g_object_get(static_cast<GstGraph&>(*graph).Pipeline(), "audio-sink", &bin, nullptr);
    if (GstElement* sink = bin ? gst_bin_get_by_name(GST_BIN(bin), "probe") : nullptr) {
      g_object_set(sink, "signal-handoffs", TRUE, nullptr);
      g_signal_connect(sink, "handoff", G_CALLBACK(OnHandoff), &times);
      gst_object_unref(sink);
    }
    if (bin) gst_object_unref(bin);
    return graph;
  }

  std::vector<std::unique_ptr<SinkTimes>> graphs;

 private:
  static GstMediaOptions Options() {
    GstMediaOptions options;
    options.audioSink = "fakesink name=probe sync=true";
    return options;
  }

  GstMediaBackend real_;
};

void Report(const char* what, std::vector<double> ms) {
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s n=%-3zu median %6.1f ms  max %6.1f ms  min %6.1f ms\n", what, ms.size(),
              ms[ms.size() / 2], ms.back(), ms.front());
}

int Run() {
  gst_init(nullptr, nullptr);
  fixtures::TempFolder folder;
  const std::vector<std::string> formats = {".wav", ".ogg", ".mp3", ".flac", ".m4a"};
  std::vector<std::string> tracks;
  for (const auto& ext : formats) {
    const std::string path = folder.File("tone" + ext);
    if (!fixtures::EncodeTone(path, fixtures::EncoderFor(ext), 3)) {
      std::fprintf(stderr, "cannot make %s\n", path.c_str());
      return 1;
    }
  }
  constexpr int kChanges = 50;
  for (int i = 0; i <= kChanges; ++i) {
    const std::string& ext = formats[i % formats.size()];
    char name[32];
    std::snprintf(name, sizeof name, "t%02d%s", i, ext.c_str());
    std::filesystem::copy_file(folder.File("tone" + ext), folder.File(name));
    tracks.push_back(folder.File(name));
  }

  MainQueue queue;
  TimedBackend media([&queue](std::function<void()> task) { queue.Post(std::move(task)); });
  TestPlatform p;
  PlatformServices services{p.files,  p.codec, p.clock, p.loop, p.dialogs,
                            p.screen, p.shell, p.power, media,  p.diagnostics};
  TDODEDEV player(services, {"/opt/solka/solka", ""});
  // Default settings (list order, once); the first idle moment finds no rows and starts nothing.
  player.FormCreate();
  p.loop.RunUntilIdle();

  // Cold and warm starts of a single file, straight from PlayFile.
  std::vector<double> starts;
  for (int i = 0; i < 11; ++i) {
    const auto before = Clock::now();
    if (!player.PlayFile(tracks[i % formats.size()])) {
      std::fprintf(stderr, "cannot play %s\n", tracks[i % formats.size()].c_str());
      return 1;
    }
    SinkTimes& times = *media.graphs.back();
    while (true) {
      std::lock_guard lock(times.mutex);
      if (times.played) break;
    }
    const double ms = Ms(times.first - before);
    if (i < static_cast<int>(formats.size()))
      std::printf("first start of %-5s (plugins loading)       %6.1f ms\n", formats[i].c_str(), ms);
    else
      starts.push_back(ms);
    player.ReleasePlayback();
  }
  Report("PlayFile to first buffer played (warm)", starts);

  // A continuous run in list order, once: every change comes from the end-of-track step.
  p.files.AddFile("/bench.m3u", EncodeListFile(tracks));
  if (!player.LoadListFile("/bench.m3u")) return 1;
  player.RefreshListBox();
  const std::size_t firstOfRun = media.graphs.size();
  player.ToolButton5Click();
  while (player.Playback().Playing) {
    if (!queue.MoveTo(p.loop, std::chrono::seconds(10))) {
      std::fprintf(stderr, "no end of track within 10 s\n");
      return 1;
    }
    p.loop.RunUntilIdle();
  }
  std::vector<double> gaps;
  for (std::size_t i = firstOfRun + 1; i < media.graphs.size(); ++i) {
    SinkTimes& before = *media.graphs[i - 1];
    SinkTimes& after = *media.graphs[i];
    if (before.played && after.played) gaps.push_back(Ms(after.first - before.lastEnd));
  }
  std::printf("tracks rendered in the run: %zu\n", media.graphs.size() - firstOfRun);
  Report("gap between tracks (end of n to start of n+1)", gaps);
  return 0;
}

}  // namespace
}  // namespace solka

int main() {
  return solka::Run();
}
