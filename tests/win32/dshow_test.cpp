// DirectShow playback of real files under the real filter graph manager.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/win32/dshow_graph.h"
#include "platform/win32/dshow_media.h"
#include "platform/win32/win32_files.h"
#include "tests/win32/win32_test_support.h"

namespace solka {
namespace {

// One second of a 440 Hz tone, 44.1 kHz 16-bit stereo.
std::string ToneWav() {
  const std::uint32_t frames = 44100, bytes = frames * 4;
  auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  std::string wav = "RIFF" + u32(36 + bytes) + "WAVEfmt " + u32(16);
  wav += std::string("\x01\x00\x02\x00", 4) + u32(44100) + u32(44100 * 4) +
         std::string("\x04\x00\x10\x00", 4) + "data" + u32(bytes);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const auto s = static_cast<std::int16_t>(8000 * std::sin(i * 2 * 3.14159265 * 440 / 44100));
    wav.append(reinterpret_cast<const char*>(&s), 2).append(reinterpret_cast<const char*>(&s), 2);
  }
  return wav;
}

// The MP3 made at build time on the host (SOLKA_TEST_MP3), as Wine sees it.
std::string HostMp3() {
  return "Z:" + std::string(SOLKA_TEST_MP3);
}

class DShow : public ::testing::Test {
 protected:
  DShow() {
    wav_ = temp_.Path() + "\\tone.wav";
    files_.WriteFileAtomic(wav_, ToneWav());
  }
  // Plays `path` from start to end; the events it reported.
  void PlayToEnd(const std::string& path) {
    auto graph = media_.CreateGraph();
    int notified = 0;
    graph->SetNotify([&] { ++notified; });
    const RenderResult render = graph->RenderFile(path);
    ASSERT_TRUE(render) << path << ": " << render.reason;
    EXPECT_TRUE(static_cast<DShowGraph&>(*graph).ThroughPlayer()) << path;
    EXPECT_NEAR(graph->Duration(), 1.0, 0.1) << path;
    graph->SetVolume(-600);
    graph->Run();
    MediaEvent event;
    bool ended = false;
    EXPECT_TRUE(PumpUntil([&] {
      while (graph->GetEvent(event)) ended = ended || event.kind == MediaEvent::Kind::Ended;
      return ended;
    })) << path;
    EXPECT_GT(notified, 0);
    EXPECT_NEAR(graph->Position(), graph->Duration(), 0.2) << path;
  }

  Win32FileSystem files_;
  TempFolder temp_;
  std::string wav_;
  DShowMediaBackend media_;
};

TEST_F(DShow, WavAndMp3PlayToTheirEnd) {
  PlayToEnd(wav_);
  PlayToEnd(HostMp3());
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
}

}  // namespace
}  // namespace solka
