// Track start on the real engine, through the player's own start: the time from PlayFile to the
// first buffer the sink plays. Silent sink that keeps real time. The change of tracks in a run
// plays on one output stream; bench/gap.sh measures its silence as heard.
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <mutex>
#include <vector>

#include "app/tdodedev.h"
#include "platform/gst/gst_graph.h"
#include "platform/gst/gst_media.h"
#include "platform/memory/test_platform.h"
#include "tests/gst/audio_fixtures.h"

namespace solka {
namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Closures posted from streaming threads, kept until the end: the starts measured here need
// none of them run, and none may be released on the thread that posted it.
class MainQueue {
 public:
  void Post(std::function<void()> task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

// When each graph's sink played its first buffer.
struct SinkTimes {
  std::mutex mutex;
  Clock::time_point first;
  bool played = false;
};

void OnHandoff(GstElement*, GstBuffer*, GstPad*, gpointer data) {
  auto& times = *static_cast<SinkTimes*>(data);
  const auto now = Clock::now();
  std::lock_guard lock(times.mutex);
  if (!times.played) times.first = now;
  times.played = true;
}

// The real back end, with a watch on the sink of every graph it builds.
class TimedBackend : public MediaBackend {
 public:
  explicit TimedBackend(PostToGui post) : real_(std::move(post), Options()) {}

  std::unique_ptr<MediaGraph> CreateGraph() override {
    auto graph = real_.CreateGraph();
    auto& times = *graphs.emplace_back(std::make_unique<SinkTimes>());
    GstElement* pipeline = static_cast<GstGraph&>(*graph).Pipeline();
    if (GstElement* sink = pipeline ? gst_bin_get_by_name(GST_BIN(pipeline), "probe") : nullptr) {
      g_object_set(sink, "signal-handoffs", TRUE, nullptr);
      g_signal_connect(sink, "handoff", G_CALLBACK(OnHandoff), &times);
      gst_object_unref(sink);
    }
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
    tracks.push_back(path);
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

  return 0;
}

}  // namespace
}  // namespace solka

int main() {
  return solka::Run();
}
