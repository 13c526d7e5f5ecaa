// DirectShow playback of real files under the real filter graph manager.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/tdodedev.h"
#include "platform/memory/test_platform.h"
#include "platform/win32/dshow_graph.h"
#include "platform/win32/dshow_media.h"
#include "platform/win32/wasapi_output.h"
#include "platform/win32/win32_files.h"
#include "tests/win32/win32_test_support.h"

namespace solka {
namespace {

// One second of a 440 Hz tone at `level` of full scale in every channel: samples of `bits`
// (8, 16 or 24 as integers, 32 as floats); by default 44.1 kHz 16-bit stereo at a quarter.
std::string ToneWav(std::uint32_t rate = 44100, std::uint16_t channels = 2, double level = 0.25,
                    std::uint16_t bits = 16) {
  const std::uint32_t width = bits / 8u, block = channels * width, bytes = rate * block;
  auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [](std::uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
  std::string wav = "RIFF" + u32(36 + bytes) + "WAVEfmt " + u32(16) + u16(bits == 32 ? 3 : 1) +
                    u16(channels) + u32(rate) + u32(rate * block) +
                    u16(static_cast<std::uint16_t>(block)) + u16(bits) + "data" + u32(bytes);
  for (std::uint32_t i = 0; i < rate; ++i) {
    const double v = level * std::sin(i * 2 * 3.14159265 * 440 / rate);
    std::uint32_t word = 0;
    if (bits == 32) {
      const auto f = static_cast<float>(v);
      std::memcpy(&word, &f, 4);
    } else {
      const auto scaled = static_cast<std::int32_t>(v * ((1 << (bits - 1)) - 1));
      word = static_cast<std::uint32_t>(bits == 8 ? scaled + 128 : scaled);
    }
    for (int c = 0; c < channels; ++c) wav += u32(word).substr(0, width);
  }
  return wav;
}

// The MP3 made at build time on the host (SOLKA_TEST_MP3), as Wine sees it.
std::string HostMp3() {
  return "Z:" + std::string(SOLKA_TEST_MP3);
}

// What the player's output sent to the device: the frames above silence, the loudest sample of
// each 10 ms, and the longest run of silent frames between the first sound and the last.
struct Heard {
  std::mutex mutex;
  int rate = 0;
  std::size_t frames = 0, quiet = 0, longestQuiet = 0;
  std::vector<float> peaks;  // per 10 ms, from the first sound on
  std::size_t inBlock = 0;

  void Take(const float* mix, std::size_t count, int outRate, int channels) {
    const std::lock_guard lock(mutex);
    rate = outRate;
    for (std::size_t i = 0; i < count; ++i) {
      float level = 0;
      for (int c = 0; c < channels; ++c) level = std::max(level, std::fabs(mix[i * channels + c]));
      if (level <= 1e-4f) {
        ++quiet;
        if (peaks.empty()) continue;
      } else {
        if (frames > 0) longestQuiet = std::max(longestQuiet, quiet);
        quiet = 0;
        ++frames;
      }
      if (inBlock++ % static_cast<std::size_t>(rate / 100) == 0) peaks.push_back(0);
      peaks.back() = std::max(peaks.back(), level);
    }
  }
  double Seconds() {
    const std::lock_guard lock(mutex);
    return rate ? static_cast<double>(frames) / rate : 0.0;
  }
};

bool Ended(MediaGraph& graph) {
  MediaEvent event;
  while (graph.GetEvent(event))
    if (event.kind == MediaEvent::Kind::Ended) return true;
  return false;
}

class DShow : public ::testing::Test {
 protected:
  DShow() {
    wav_ = temp_.Path() + "\\tone.wav";
    files_.WriteFileAtomic(wav_, ToneWav());
  }
  ~DShow() override {
    if (WasapiOutput* output = media_.Output()) output->SetTap(nullptr);
  }
  // Plays `path` from start to end; the events it reported.
  void PlayToEnd(DShowMediaBackend& media, const std::string& path) {
    auto graph = media.CreateGraph();
    int notified = 0;
    graph->SetNotify([&] { ++notified; });
    const RenderResult render = graph->RenderFile(path);
    ASSERT_TRUE(render) << path << ": " << render.reason;
    EXPECT_EQ(static_cast<DShowGraph&>(*graph).ThroughPlayer(), &media == &media_) << path;
    EXPECT_NEAR(graph->Duration(), 1.0, 0.1) << path;
    graph->SetVolume(-600);
    graph->Run();
    EXPECT_TRUE(PumpUntil([&] { return Ended(*graph); })) << path;
    EXPECT_GT(notified, 0);
    EXPECT_NEAR(graph->Position(), graph->Duration(), 0.2) << path;
  }
  // A graph of `path` at the level, started and listened to from its first sample.
  std::unique_ptr<MediaGraph> Start(const std::string& path, int level, Heard& heard) {
    media_.Output()->SetTap([&heard](const float* mix, std::size_t frames, int rate, int channels) {
      heard.Take(mix, frames, rate, channels);
    });
    auto graph = media_.CreateGraph();
    graph->SetVolume(level);
    EXPECT_TRUE(graph->RenderFile(path)) << path;
    return graph;
  }

  Win32FileSystem files_;
  TempFolder temp_;
  std::string wav_;
  DShowMediaBackend media_;
};

TEST_F(DShow, WavAndMp3PlayToTheirEndThroughThePlayerOrTheSystemsRenderer) {
  PlayToEnd(media_, wav_);
  PlayToEnd(media_, HostMp3());
  DShowMediaBackend renderer(false);
  PlayToEnd(renderer, wav_);
}

TEST_F(DShow, EveryPcmLayoutPlaysThroughThePlayerAtItsLevelAndLength) {
  struct Layout {
    std::uint32_t rate;
    std::uint16_t channels, bits;
  };
  for (const Layout& layout :
       {Layout{8000, 1, 8}, Layout{48000, 2, 24}, Layout{96000, 2, 32}, Layout{22050, 6, 16}}) {
    const std::string path = temp_.Path() + "\\layout.wav";
    files_.WriteFileAtomic(path, ToneWav(layout.rate, layout.channels, 0.5, layout.bits));
    Heard heard;
    auto graph = Start(path, 0, heard);
    graph->Run();
    const std::string what = std::to_string(layout.rate) + " Hz, " +
                             std::to_string(layout.channels) + " × " + std::to_string(layout.bits);
    ASSERT_TRUE(PumpUntil([&] { return Ended(*graph); })) << what;
    EXPECT_NEAR(heard.Seconds(), 1.0, 0.03) << what;
    const std::lock_guard lock(heard.mutex);
    EXPECT_NEAR(*std::max_element(heard.peaks.begin(), heard.peaks.end()), 0.5, 0.03) << what;
  }

  // Two tracks started on their own play at once, summed; one at silence is not heard at all.
  Heard both;
  auto quiet = Start(wav_, -10000, both);
  auto loud = Start(wav_, 0, both);
  quiet->Run();
  loud->Run();
  ASSERT_TRUE(PumpUntil([&] { return Ended(*quiet); }));
  ASSERT_TRUE(PumpUntil([&] { return Ended(*loud); }));
  EXPECT_NEAR(both.Seconds(), 1.0, 0.03);
  Heard silent;
  loud = Start(wav_, -10000, silent);
  loud->Run();
  ASSERT_TRUE(PumpUntil([&] { return Ended(*loud); }));
  EXPECT_EQ(silent.Seconds(), 0.0);
}

TEST_F(DShow, PreparedTracksFollowAtTheirOwnLevelsAndSpeedWithoutSilenceBetween) {
  // Each of another rate and layout: a tenth of 0.25 from the first sample on, seeked to its
  // middle with the next one prepared; then 0.8 at full level; then 0.5 at half (-6 dB), which
  // goes one and a half times as fast in its course.
  const std::string loud = temp_.Path() + "\\loud.wav", fast = temp_.Path() + "\\fast.wav";
  files_.WriteFileAtomic(loud, ToneWav(22050, 1, 0.8));
  files_.WriteFileAtomic(fast, ToneWav(96000, 2, 0.5, 32));
  Heard heard;
  auto graph = Start(wav_, -2000, heard);
  const int runOuts = media_.Output()->RunOuts();
  graph->Run();
  int notified = 0;
  double seconds = 0;   // heard, as it should be
  double secondAt = 0;  // where the second track begins
  for (const auto& [path, level] : {std::pair{loud, 0}, std::pair{fast, -600}}) {
    auto next = graph->CreateFollower();
    ASSERT_NE(next, nullptr);
    if (seconds == 0) next->SetVolume(level);
    next->Prepare(path);
    // Built on a thread of its own: until the loop hears of it, it is a track not yet started,
    // and a level set meanwhile still holds from its first sample.
    EXPECT_EQ(next->Duration(), 0.0);
    EXPECT_EQ(next->Position(), 0.0);
    if (seconds != 0) next->SetVolume(level);
    if (seconds == 0) {
      // A seek in the playing track keeps the prepared one behind it.
      seconds = secondAt = graph->Position() + 0.5;
      graph->SetPosition(0.5);
    } else {
      // So does a stream opened anew on the default device.
      seconds += 1.0;
      media_.Output()->Reopen();
      // The loop hears of the built graph before its turn, with its length.
      ASSERT_TRUE(PumpUntil([&] { return next->Duration() > 0; })) << path;
      EXPECT_NEAR(next->Duration(), 1.0, 0.05) << path;
    }
    ASSERT_TRUE(PumpUntil([&] { return Ended(*graph); })) << path;
    EXPECT_NEAR(graph->Position(), graph->Duration(), 0.05) << path;
    next->SetNotify([&] { ++notified; });
    ASSERT_TRUE(next->RenderFile(path)) << path;
    next->Run();
    graph = std::move(next);  // the finished graph goes; the follower plays on
  }
  const double atNormalSpeed = graph->Position();
  graph->SetRate(1.5);
  ASSERT_TRUE(PumpUntil([&] { return Ended(*graph); }));
  EXPECT_GT(notified, 0);
  EXPECT_NEAR(graph->Position(), 1.0, 0.05);
  seconds += atNormalSpeed + (1.0 - atNormalSpeed) / 1.5;

  const std::lock_guard lock(heard.mutex);
  EXPECT_NEAR(static_cast<double>(heard.frames) / heard.rate, seconds, 0.04);
  EXPECT_LT(heard.longestQuiet, 3u) << "silence between the tracks";
  EXPECT_EQ(media_.Output()->RunOuts(), runOuts + 1) << "the sound ran out between the tracks";
  ASSERT_GT(heard.peaks.size(), 200u);
  const auto loudest = [&](std::size_t from, std::size_t to) {
    return *std::max_element(heard.peaks.begin() + from, heard.peaks.begin() + to);
  };
  const auto second = static_cast<std::size_t>(secondAt * 100);
  EXPECT_LT(loudest(0, second - 20), 0.03f);
  EXPECT_NEAR(loudest(second + 10, second + 80), 0.8f, 0.03f);
  EXPECT_NEAR(loudest(heard.peaks.size() - 30, heard.peaks.size()), 0.25f, 0.02f);
}

TEST_F(DShow, ThePlayersContinuousPlayGoesThroughPreparedFollowersWithoutSilence) {
  // The player itself on this engine (the rest of its platform in memory), a list of three
  // files played once in list order: it prepares each next track, which then follows.
  const std::string loud = temp_.Path() + "\\loud.wav";
  files_.WriteFileAtomic(loud, ToneWav(22050, 1, 0.8));
  files_.WriteFileAtomic(temp_.Path() + "\\solka.ini", "[SETTING]\r\nJukeMode=1\r\n");
  files_.WriteFileAtomic(temp_.Path() + "\\list.m3u", wav_ + "\r\n" + loud + "\r\n" + wav_);
  TestPlatform p;
  PlatformServices services{files_,  p.codec, p.clock, p.loop,        p.dialogs, p.screen,
                            p.shell, p.power, media_,  p.diagnostics, &p.ipc};
  TDODEDEV player(services, ProcessInfo{temp_.Path() + "\\solka.exe", ""});
  player.FormCreate();
  p.loop.RunUntilIdle();
  ASSERT_TRUE(player.LoadListFile(temp_.Path() + "\\list.m3u"));
  player.RefreshListBox();
  Heard heard;
  media_.Output()->SetTap([&heard](const float* mix, std::size_t frames, int rate, int channels) {
    heard.Take(mix, frames, rate, channels);
  });
  const int runOuts = media_.Output()->RunOuts();
  if (player.Sequence().ContinuousPlay) player.ToolButton5Click();
  player.ToolButton5Click();
  ASSERT_TRUE(player.Playback().Playing);
  EXPECT_TRUE(PumpUntil([&] {
    p.loop.RunUntilIdle();
    return !player.Playback().Playing;
  }));
  EXPECT_NEAR(heard.Seconds(), 3.0, 0.04);
  EXPECT_LT(heard.longestQuiet, 3u);
  EXPECT_EQ(media_.Output()->RunOuts(), runOuts + 1) << "the sound ran out between the tracks";
  EXPECT_EQ(p.diagnostics.lines, std::vector<std::string>{});
}

TEST_F(DShow, APauseHoldsTheTrackWithItsFollowerAndAStopEndsThePlay) {
  Heard heard;
  auto first = Start(wav_, 0, heard);
  first->Run();
  auto next = first->CreateFollower();
  ASSERT_NE(next, nullptr);
  next->Prepare(wav_);
  ASSERT_TRUE(PumpUntil([&] { return first->Position() > 0.3; }));
  // Paused: nothing more is heard, the position holds and the follower waits.
  const auto holds = [&](MediaGraph& graph) {
    graph.Pause();
    PumpUntil([] { return false; }, 1);
    const double heardThen = heard.Seconds(), positionThen = graph.Position();
    PumpUntil([] { return false; }, 1);
    EXPECT_EQ(heard.Seconds(), heardThen);
    EXPECT_EQ(graph.Position(), positionThen);
  };
  holds(*first);
  EXPECT_EQ(next->Position(), 0.0);
  first->Run();
  ASSERT_TRUE(PumpUntil([&] { return Ended(*first); }));
  // A pause pressed at the change holds the follower, which then plays on from there.
  ASSERT_TRUE(next->RenderFile(wav_));
  first.reset();
  holds(*next);
  next->Run();
  ASSERT_TRUE(PumpUntil([&] { return next->Position() > 0.5; }));
  // Stopped: the sound ends at once, and so do the track's events.
  next->Stop();
  const double stoppedAt = heard.Seconds();
  PumpUntil([] { return false; }, 2);
  EXPECT_EQ(heard.Seconds(), stoppedAt);
  EXPECT_FALSE(Ended(*next));
  EXPECT_LT(stoppedAt, 1.9);
}

TEST_F(DShow, AFollowerThatFailsOrIsDroppedLeavesTheTrackBeforeItToPlayOut) {
  const std::string picture = temp_.Path() + "\\picture.mp3";
  files_.WriteFileAtomic(picture, std::string(4096, '\x5A'));
  for (const std::string& bad : {picture, temp_.Path() + "\\missing.wav", std::string()}) {
    Heard heard;
    auto first = Start(wav_, 0, heard);
    first->Run();
    auto next = first->CreateFollower();
    ASSERT_NE(next, nullptr);
    next->Prepare(bad.empty() ? wav_ : bad);
    if (bad.empty()) next.reset();  // dropped by a user's action
    ASSERT_TRUE(PumpUntil([&] { return Ended(*first); })) << bad;
    if (next) {
      const RenderResult render = next->RenderFile(bad);
      EXPECT_FALSE(render) << bad;
      EXPECT_FALSE(render.reason.empty()) << bad;
    }
    EXPECT_NEAR(heard.Seconds(), 1.0, 0.03) << bad;
  }
}

TEST_F(DShow, SpeedSeekPauseMuteAndANewDeviceActOnThePlayersOutput) {
  // One and a half times the speed: the second of sound takes two thirds of a second.
  Heard fast;
  auto graph = Start(wav_, 0, fast);
  graph->SetRate(1.5);
  EXPECT_EQ(graph->Rate(), 1.5);
  graph->Run();
  // Its follower at the same speed, set while its graph is still being built.
  auto next = graph->CreateFollower();
  ASSERT_NE(next, nullptr);
  next->Prepare(wav_);
  next->SetRate(1.5);
  EXPECT_EQ(next->Rate(), 1.5);
  ASSERT_TRUE(PumpUntil([&] { return Ended(*graph); }));
  EXPECT_NEAR(graph->Position(), 1.0, 0.05);
  ASSERT_TRUE(next->RenderFile(wav_));
  next->Run();
  EXPECT_EQ(next->Rate(), 1.5);
  ASSERT_TRUE(PumpUntil([&] { return Ended(*next); }));
  EXPECT_NEAR(fast.Seconds(), 2.0 / 1.5, 0.03);
  EXPECT_NEAR(next->Position(), 1.0, 0.05);
  next.reset();

  // From the middle, held by a pause, then on a stream opened again: half a second, all of it.
  Heard half;
  graph = Start(wav_, 0, half);
  graph->SetPosition(0.5);
  graph->Run();
  ASSERT_TRUE(PumpUntil([&] { return graph->Position() > 0.6; }));
  graph->Pause();
  PumpUntil([] { return false; }, 1);
  const double held = graph->Position();
  PumpUntil([] { return false; }, 1);
  EXPECT_EQ(graph->Position(), held);
  const int opens = media_.Output()->Opens();
  media_.Output()->Reopen();
  graph->Run();
  ASSERT_TRUE(PumpUntil([&] { return Ended(*graph); }));
  EXPECT_EQ(media_.Output()->Opens(), opens + 1);
  EXPECT_NEAR(half.Seconds(), 0.5, 0.03);

  // A mute in mid-track silences the very next frames, and its end brings them back.
  Heard muted;
  graph = Start(wav_, 0, muted);
  graph->Run();
  ASSERT_TRUE(PumpUntil([&] { return graph->Position() > 0.2; }));
  const double from = graph->Position();
  graph->SetVolume(-10000);
  ASSERT_TRUE(PumpUntil([&] { return graph->Position() > from + 0.3; }));
  const double to = graph->Position();
  graph->SetVolume(0);
  ASSERT_TRUE(PumpUntil([&] { return Ended(*graph); }));
  EXPECT_NEAR(muted.Seconds(), 1.0 - (to - from), 0.03);
}

TEST_F(DShow, GraphsFailWithTheSystemsReasonAndLeaveNothingBehind) {
  // A missing file and one that is no audio fail with the system's words for it.
  const std::string picture = temp_.Path() + "\\picture.mp3";
  files_.WriteFileAtomic(picture, std::string(4096, '\x5A'));
  for (const std::string& bad : {temp_.Path() + "\\missing.mp3", picture}) {
    const RenderResult render = media_.CreateGraph()->RenderFile(bad);
    EXPECT_FALSE(render) << bad;
    EXPECT_FALSE(render.reason.empty()) << bad;
  }
  // Released in mid-play: its notification is never called again.
  int late = 0;
  {
    auto graph = media_.CreateGraph();
    graph->SetNotify([&] { ++late; });
    ASSERT_TRUE(graph->RenderFile(wav_));
    graph->Run();
    PumpUntil([&] { return graph->Position() > 0.2; }, 10);
    late = 0;
  }
  PumpUntil([] { return false; }, 2);
  EXPECT_EQ(late, 0);

  // Two hundred graphs, played and released: the process holds no more handles than before.
  auto cycle = [&] {
    auto graph = media_.CreateGraph();
    ASSERT_TRUE(graph->RenderFile(wav_));
    graph->Run();
  };
  for (int i = 0; i < 5; ++i) cycle();  // the system's one-time set-up
  DWORD before = 0, after = 0;
  GetProcessHandleCount(GetCurrentProcess(), &before);
  for (int i = 0; i < 200; ++i) cycle();
  GetProcessHandleCount(GetCurrentProcess(), &after);
  EXPECT_LE(after, before + 4) << "handles before " << before << ", after " << after;

  // Followers released while their graphs are still being built: the threads building them
  // tear them down and end, and nothing is left of them.
  auto graph = media_.CreateGraph();
  ASSERT_TRUE(graph->RenderFile(wav_));
  const auto dropFollowers = [&](int count) {
    for (int i = 0; i < count; ++i) {
      auto next = graph->CreateFollower();
      ASSERT_NE(next, nullptr);
      next->Prepare(i % 2 ? wav_ : HostMp3());
    }
    EXPECT_TRUE(PumpUntil([&] { return media_.Preparing() == 0; }));
  };
  dropFollowers(2);
  // One that cannot be built, started before its thread is done: its turn waits and fails with
  // the system's reason.
  auto missing = graph->CreateFollower();
  missing->Prepare(temp_.Path() + "\\missing.wav");
  const RenderResult render = missing->RenderFile(temp_.Path() + "\\missing.wav");
  EXPECT_FALSE(render);
  EXPECT_FALSE(render.reason.empty());
  missing.reset();
  GetProcessHandleCount(GetCurrentProcess(), &before);
  dropFollowers(40);
  GetProcessHandleCount(GetCurrentProcess(), &after);
  EXPECT_LE(after, before + 4) << "handles before " << before << ", after " << after;
  // None of them keeps the track from its end.
  graph->Run();
  EXPECT_TRUE(PumpUntil([&] { return Ended(*graph); }));
}

}  // namespace
}  // namespace solka
