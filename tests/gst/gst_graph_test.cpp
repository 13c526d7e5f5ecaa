// The GStreamer graph on real files made at test time, played to silent sinks.
#include <gmock/gmock.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/tdodedev.h"
#include "platform/gst/audio_sink.h"
#include "platform/memory/test_platform.h"
#include "tests/gst/audio_fixtures.h"
#include "tests/gst/engine_harness.h"
#include "tests/gst/sound_server.h"

namespace solka {
namespace {

using namespace std::chrono_literals;
using testing_gst::OutputProbe;
using testing_gst::PumpUntil;

class GstGraphTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gst_init(nullptr, nullptr);
    folder_ = new fixtures::TempFolder;
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }

  // A tone of `tenths` tenths of a second in the format of `extension`, made once per suite.
  static std::string Tone(const std::string& extension, int tenths = 10) {
    const std::string path = folder_->File("tone" + std::to_string(tenths) + extension);
    if (extension == ".ape") return Bytes("silence.ape", fixtures::SilentApe());
    if (!std::filesystem::exists(path) &&
        !fixtures::EncodeTone(path, fixtures::EncoderFor(extension), tenths))
      ADD_FAILURE() << "cannot make " << path;
    return path;
  }
  static std::string Bytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = folder_->File(name);
    fixtures::WriteBytes(path, bytes);
    return path;
  }

  GstMediaBackend Backend(const std::string& sink = testing_gst::kSilentSink) {
    GstMediaOptions options;
    options.audioSink = sink;
    return GstMediaBackend(testing_gst::QueuedCall(), options);
  }

  // Installs a notification that counts its calls and checks the thread they arrive on.
  void Watch(MediaGraph& graph) {
    graph.SetNotify([this] {
      ++notifications_;
      if (std::this_thread::get_id() != testThread_) ++foreignThreadCalls_;
    });
  }

  // Drains the queue as the player does; the number of end-of-stream events.
  static int DrainEnds(MediaGraph& graph) {
    MediaEvent event;
    int ends = 0;
    while (graph.GetEvent(event))
      if (event.kind == MediaEvent::Kind::Ended) ++ends;
    return ends;
  }

  static inline fixtures::TempFolder* folder_ = nullptr;
  int notifications_ = 0;
  int foreignThreadCalls_ = 0;
  const std::thread::id testThread_ = std::this_thread::get_id();
};

class EveryFormat : public GstGraphTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EveryFormat, KnowsItsLengthAndEndsOnceOnTheGuiThread) {
  auto backend = Backend(testing_gst::kProbeSink(false));
  auto graph = backend.CreateGraph();
  OutputProbe probe(static_cast<GstGraph&>(*graph).Pipeline());
  Watch(*graph);
  ASSERT_TRUE(graph->RenderFile(Tone(GetParam())));
  const double duration = graph->Duration();
  graph->Run();
  ASSERT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
  EXPECT_EQ(foreignThreadCalls_, 0);
  EXPECT_EQ(DrainEnds(*graph), 1);
  // The truth is what the decoder gave out, encoder padding included.
  const double decoded = probe.Frames() / 44100.0;
  EXPECT_NEAR(decoded, 1.0, 0.1);
  EXPECT_NEAR(duration, decoded, 0.05);
  // Nothing more comes after the end.
  PumpUntil([] { return false; }, 100ms);
  EXPECT_EQ(DrainEnds(*graph), 0);
}

INSTANTIATE_TEST_SUITE_P(Encoded, EveryFormat,
                         ::testing::Values(".wav", ".mp3", ".ogg", ".flac", ".m4a", ".3g2", ".aac",
                                           ".wma", ".asf", ".ape"),
                         [](const auto& param) { return std::string(param.param + 1); });

TEST_F(GstGraphTest, MidiFilesPlayThroughTheSynthesiser) {
  auto backend = Backend(testing_gst::kProbeSink(false));
  for (const auto& path :
       {Bytes("tiny.mid", fixtures::TinyMidi()), Bytes("tiny.rmi", fixtures::TinyRiffMidi())}) {
    SCOPED_TRACE(path);
    notifications_ = 0;
    auto graph = backend.CreateGraph();
    OutputProbe probe(static_cast<GstGraph&>(*graph).Pipeline());
    Watch(*graph);
    ASSERT_TRUE(graph->RenderFile(path));
    graph->Run();
    ASSERT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
    EXPECT_EQ(DrainEnds(*graph), 1);
    const auto peaks = probe.Peaks();
    ASSERT_FALSE(peaks.empty());
    EXPECT_GT(*std::max_element(peaks.begin(), peaks.end()), 1e-3f) << "the note is not heard";
  }
}

// The files of a file descriptor table that point into the fixture folder.
int OpenFixtureFiles(const std::string& folderPrefix) {
  int open = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    const auto target = std::filesystem::read_symlink(entry.path(), ec).string();
    if (!ec && target.rfind(folderPrefix, 0) == 0) ++open;
  }
  return open;
}

TEST_F(GstGraphTest, EveryKindOfUnplayableFileFailsPromptlyAndCleanly) {
  std::vector<std::string> bad = {
      folder_->File("missing.mp3"),
      Bytes("empty.mp3", {}),
      Bytes("text.wav", std::vector<std::uint8_t>(200, 'x')),
      Bytes("song.rcp", {'R', 'C', 'M', '-', 'P', 'C', '9', '8', 'V', '2', '.', '0', 0, 1, 2, 3}),
      Bytes("noise.ape", {'M', 'A', 'C', ' ', 0x96, 0x0f, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}),
  };
  {  // The first bytes of a real WAV file: a header that promises data that is not there.
    const std::string whole = Tone(".wav");
    std::ifstream in(whole, std::ios::binary);
    std::vector<std::uint8_t> head(30);
    in.read(reinterpret_cast<char*>(head.data()), 30);
    bad.push_back(Bytes("truncated.wav", head));
  }
  const std::string fifo = folder_->File("fifo.mp3");  // nobody ever writes to it
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  bad.push_back(fifo);
  bad.push_back(folder_->File(""));  // a folder
  const std::string picture = folder_->File("picture.mp3");
  ASSERT_TRUE(fixtures::RunPipeline("videotestsrc num-buffers=1 ! pngenc ! filesink location=\"" +
                                    picture + "\""));
  bad.push_back(picture);

  GstMediaOptions options;
  options.audioSink = testing_gst::kSilentSink;
  options.prerollTimeout = 3s;
  GstMediaBackend backend(testing_gst::QueuedCall(), options);
  const std::string prefix = folder_->File("");
  for (const auto& path : bad) {
    SCOPED_TRACE(path);
    auto graph = backend.CreateGraph();
    Watch(*graph);
    const auto started = std::chrono::steady_clock::now();
    const RenderResult result = graph->RenderFile(path);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(result.reason.find('\n'), std::string::npos) << result.reason;
    EXPECT_LT(std::chrono::steady_clock::now() - started, options.prerollTimeout + 2s);
    EXPECT_TRUE(PumpUntil([&] { return OpenFixtureFiles(prefix) == 0; }))
        << "the failed graph still holds the file";
    graph.reset();
  }
  // The pipe's reader still waits for a writer: one that comes and goes lets it end.
  close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
  // Whatever the failed graphs had posted is dropped with them.
  PumpUntil([] { return false; }, 200ms);
  EXPECT_EQ(notifications_, 0);
}

// A decoder that gives up in mid-track posts errors, not an end: each is reported with
// GStreamer's own words (the player decides that the first one ends the track).
TEST_F(GstGraphTest, ErrorsInMidTrackAreReportedWithTheirReason) {
  auto backend = Backend();
  auto graph = backend.CreateGraph();
  Watch(*graph);
  ASSERT_TRUE(graph->RenderFile(Tone(".ogg", 30)));
  graph->Run();
  GstElement* pipeline = static_cast<GstGraph&>(*graph).Pipeline();
  for (int i = 0; i < 2; ++i) {
    GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_DECODE, "broken");
    gst_element_post_message(pipeline,
                             gst_message_new_error(GST_OBJECT(pipeline), error, "test\ndetail"));
    g_error_free(error);
  }
  ASSERT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
  PumpUntil([] { return false; }, 100ms);
  std::vector<MediaEvent> events;
  for (MediaEvent event; graph->GetEvent(event);) events.push_back(event);
  ASSERT_EQ(events.size(), 2u);
  for (const MediaEvent& event : events) {
    EXPECT_EQ(event.kind, MediaEvent::Kind::Failed);
    EXPECT_EQ(event.reason, "broken (gst-stream-error-quark 7; test detail)");
  }
}

TEST_F(GstGraphTest, ReleasedGraphNeverNotifies) {
  auto backend = Backend();
  auto graph = backend.CreateGraph();
  Watch(*graph);
  ASSERT_TRUE(graph->RenderFile(Tone(".wav", 1)));
  graph->Run();
  // Let the end be queued and posted, then release before the loop delivers it.
  std::this_thread::sleep_for(400ms);
  graph.reset();
  PumpUntil([] { return false; }, 200ms);
  EXPECT_EQ(notifications_, 0);
}

// Weak references to a pipeline and every element inside it, so a test can tell what outlives
// the graph that owned them.
class LiveElements {
 public:
  explicit LiveElements(GstElement* pipeline) {
    Watch(pipeline);
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(pipeline));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
      Watch(GST_ELEMENT(g_value_get_object(&item)));
      g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
  }
  ~LiveElements() {
    for (auto& [ref, name] : refs_) g_weak_ref_clear(ref.get());
  }
  // Names of the elements still alive.
  std::vector<std::string> Alive() {
    std::vector<std::string> alive;
    for (auto& [ref, name] : refs_)
      if (gpointer element = g_weak_ref_get(ref.get())) {
        alive.push_back(name);
        gst_object_unref(element);
      }
    return alive;
  }

 private:
  void Watch(GstElement* element) {
    auto ref = std::make_unique<GWeakRef>();
    g_weak_ref_init(ref.get(), element);
    gchar* name = gst_object_get_name(GST_OBJECT(element));
    refs_.emplace_back(std::move(ref), name ? name : "");
    g_free(name);
  }
  std::vector<std::pair<std::unique_ptr<GWeakRef>, std::string>> refs_;
};

// Every way a graph's life can end (played out, failed to render, released in mid-play) frees
// its pipeline, every element in it and its descriptors, whatever the format and the volume:
// an unattended run plays thousands of them.
TEST_F(GstGraphTest, ReleasedGraphsLeaveNoElementAndNoDescriptorBehind) {
  auto backend = Backend();
  const std::vector<std::string> tracks = {Tone(".wav", 1), Tone(".flac", 1), Tone(".ogg", 1)};
  const std::string broken = Bytes("broken.wav", {'R', 'I', 'F', 'F', 0, 0});
  const auto openDescriptors = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator{});
  };
  const auto playOnce = [&](int round) {
    auto graph = backend.CreateGraph();
    Watch(*graph);
    graph->SetVolume(-round * 100);
    std::unique_ptr<LiveElements> elements;
    if (round % 4 == 1) {
      elements = std::make_unique<LiveElements>(static_cast<GstGraph&>(*graph).Pipeline());
      EXPECT_FALSE(graph->RenderFile(broken));
    } else {
      EXPECT_TRUE(graph->RenderFile(tracks[round % 3]));
      elements = std::make_unique<LiveElements>(static_cast<GstGraph&>(*graph).Pipeline());
      graph->Run();
      if (round % 4 != 3) {
        EXPECT_TRUE(PumpUntil([&] { return DrainEnds(*graph) > 0; }));
      }
    }
    graph.reset();
    // Torn down off the caller's thread, soon.
    PumpUntil([&] { return elements->Alive().empty(); });
    EXPECT_THAT(elements->Alive(), ::testing::IsEmpty()) << "round " << round;
  };
  for (int round = 0; round < 6; ++round) playOnce(round);  // warms the framework's caches
  const auto before = openDescriptors();
  for (int round = 0; round < 24; ++round) playOnce(round);
  PumpUntil([] { return false; }, 100ms);
  EXPECT_LE(openDescriptors(), before);
}

TEST_F(GstGraphTest, SeekSkipsTheDataBefore) {
  auto backend = Backend(testing_gst::kProbeSink(false));
  auto graph = backend.CreateGraph();
  Watch(*graph);
  ASSERT_TRUE(graph->RenderFile(Tone(".flac", 30)));
  OutputProbe probe(static_cast<GstGraph&>(*graph).Pipeline());
  ASSERT_TRUE(probe.Attached());
  probe.Reset();
  graph->SetPosition(2.0);
  EXPECT_NEAR(graph->Position(), 2.0, 0.05);
  graph->Run();
  ASSERT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
  EXPECT_NEAR(probe.Frames(), 44100, 4410);
}

TEST_F(GstGraphTest, RateShortensTheOutputAndLastsForOneGraph) {
  auto backend = Backend(testing_gst::kProbeSink(false));
  auto graph = backend.CreateGraph();
  Watch(*graph);
  ASSERT_TRUE(graph->RenderFile(Tone(".ogg", 30)));
  OutputProbe probe(static_cast<GstGraph&>(*graph).Pipeline());
  probe.Reset();
  graph->SetRate(1.5);
  EXPECT_EQ(graph->Rate(), 1.5);
  graph->Run();
  ASSERT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
  EXPECT_NEAR(probe.Frames(), 3.0 / 1.5 * 44100, 4410);

  EXPECT_EQ(backend.CreateGraph()->Rate(), 1.0);
}

TEST_F(GstGraphTest, VolumeIsAppliedAsDecibelGain) {
  auto backend = Backend(testing_gst::kProbeSink(false));
  auto lastPeak = [&](int volume) {
    notifications_ = 0;
    auto graph = backend.CreateGraph();
    Watch(*graph);
    EXPECT_TRUE(graph->RenderFile(Tone(".wav")));
    OutputProbe probe(static_cast<GstGraph&>(*graph).Pipeline());
    graph->SetVolume(volume);
    graph->Run();
    EXPECT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
    const auto peaks = probe.Peaks();
    return peaks.empty() ? -1.0f : peaks.back();
  };
  const float full = lastPeak(0);
  ASSERT_GT(full, 0.3f);
  EXPECT_NEAR(lastPeak(-2000) / full, 0.1, 0.01);  // -20 dB
  EXPECT_LT(lastPeak(-10000), 1e-4f);              // silence
  EXPECT_NEAR(lastPeak(500), full, 0.01);          // no gain above full
}

// The real engine with each graph's output recorded from its first sample, for the player.
struct RecordedBackend : MediaBackend {
  explicit RecordedBackend(GstMediaBackend& e) : engine(e) {}
  std::unique_ptr<MediaGraph> CreateGraph() override {
    auto graph = engine.CreateGraph();
    tracks.push_back(std::make_unique<OutputProbe>(static_cast<GstGraph&>(*graph).Pipeline()));
    return graph;
  }
  GstMediaBackend& engine;
  std::vector<std::unique_ptr<OutputProbe>> tracks;
};

TEST_F(GstGraphTest, ThePlayersLevelHoldsFromTheFirstSampleOfEveryTrack) {
  auto engine = Backend(testing_gst::kProbeSink(true));
  RecordedBackend media(engine);
  TestPlatform p;
  PlatformServices services{p.files, p.codec, p.clock, p.loop,        p.dialogs, p.screen,
                            p.shell, p.power, media,   p.diagnostics, &p.ipc};
  p.files.AddFile("/opt/solka/solka.ini", "[SETTING]\nVolume=-4000\n");  // label 60
  const std::string tone = folder_->File("1k.wav");
  ASSERT_TRUE(fixtures::EncodeTone(tone, "wavenc", 20, 0.5, 1000));
  p.files.AddFile("/l.m3u", tone + "\n" + tone + "\n" + tone + "\n" + tone + "\n");
  TDODEDEV player(services, ProcessInfo{"/opt/solka/solka", ""});
  player.FormCreate();
  p.loop.RunUntilIdle();
  ASSERT_TRUE(player.LoadListFile("/l.m3u"));
  player.RefreshListBox();
  // Every 10 ms slice of the newest track's first 100 ms within 1 dB of `dB` (0 dB: the tone).
  // A track the user chooses joins the running output, whose recording starts with the end of
  // the track before: silent when that one was muted.
  const auto start = [](const std::vector<float>& s) {
    std::size_t at = 0;
    while (at < s.size() && std::fabs(s[at]) < 1e-4f) ++at;
    return at;
  };
  auto expectLevel = [&](double dB, const char* when) {
    ASSERT_TRUE(PumpUntil([&] {
      const std::vector<float> s = media.tracks.back()->Samples();
      return s.size() >= start(s) + 4410;
    })) << when;
    std::vector<float> s = media.tracks.back()->Samples();
    s.erase(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(start(s)));
    for (std::size_t at = 0; at < 4410; at += 441) {
      double sum = 1e-20;
      for (std::size_t i = at; i < at + 441; ++i) sum += s[i] * s[i];
      EXPECT_NEAR(10 * std::log10(sum / 441 / 0.125), dB, 1.0)
          << when << ", " << at / 44.1 << " ms";
    }
  };
  player.pauseButtonClick();
  expectLevel(-40, "first track");
  player.ToolButton7Click();
  expectLevel(-40, "next track");
  player.FormMouseWheelDown();
  player.ToolButton7Click();
  expectLevel(-41, "after a wheel step");
  player.Label3DblClick();
  player.ToolButton7Click();
  expectLevel(-41, "after a mute");
  EXPECT_EQ(media.tracks.size(), 4u);
}

TEST_F(GstGraphTest, UnusableSinkFallsBackAndStillPlays) {
  auto backend = Backend("no_such_sink_element");
  auto graph = backend.CreateGraph();
  Watch(*graph);
  ASSERT_TRUE(graph->RenderFile(Tone(".wav", 3)));
  graph->Run();
  EXPECT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
  EXPECT_EQ(DrainEnds(*graph), 1);
}

// Whether a graph's output holds an element named `name`.
bool OutputHolds(MediaGraph& graph, const char* name) {
  GstElement* pipeline = static_cast<GstGraph&>(graph).Pipeline();
  GstElement* found = pipeline ? gst_bin_get_by_name(GST_BIN(pipeline), name) : nullptr;
  if (found) gst_object_unref(found);
  return found != nullptr;
}

// An output that could not be opened is not given up for the life of the process: once what
// decides it changes (a device plugged in, a sound server started), the next graph uses it.
TEST_F(GstGraphTest, AFailedOutputIsTriedAgainWhenTheMachineChanges) {
  std::string machine = "no device";
  GstMediaOptions options;
  options.audioSink = "solkalatesink name=late";  // an output that does not exist yet
  options.soundEnvironment = [&] { return machine; };
  GstMediaBackend backend(testing_gst::QueuedCall(), options);
  auto silent = backend.CreateGraph();
  EXPECT_FALSE(OutputHolds(*silent, "late"));
  ASSERT_TRUE(silent->RenderFile(Tone(".wav", 3)));

  // The output appears: an element of that name that plays silently in real time.
  GstPluginFeature* fake = GST_PLUGIN_FEATURE(gst_element_factory_find("fakesink"));
  GstPluginFeature* loaded = gst_plugin_feature_load(fake);
  ASSERT_TRUE(
      gst_element_register(nullptr, "solkalatesink", GST_RANK_NONE,
                           gst_element_factory_get_element_type(GST_ELEMENT_FACTORY(loaded))));
  gst_object_unref(loaded);
  gst_object_unref(fake);
  // Cheap: nothing told of a change, so nothing is opened to find out.
  EXPECT_FALSE(OutputHolds(*backend.CreateGraph(), "late"));

  machine = "a device";
  // A track following the silent one would keep its output: the next one starts afresh.
  EXPECT_EQ(silent->CreateFollower(), nullptr);
  auto graph = backend.CreateGraph();
  EXPECT_TRUE(OutputHolds(*graph, "late"));
  Watch(*graph);
  ASSERT_TRUE(graph->RenderFile(Tone(".wav", 3)));
  graph->Run();
  EXPECT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
  EXPECT_EQ(DrainEnds(*graph), 1);
}

// An output opened at start-up, before the back end exists, is the first graph's, open already;
// one opened while the machine was otherwise is left, and the graph opens its own.
TEST_F(GstGraphTest, AnOutputOpenedInAdvanceServesTheFirstGraphWhileNothingChanged) {
  std::string machine = "a device";
  const std::string sink = std::string(testing_gst::kSilentSink) + " name=early";
  for (const bool changed : {false, true}) {
    SCOPED_TRACE(changed ? "changed" : "unchanged");
    auto opening = std::make_shared<OutputOpening>(sink);
    OutputOpening::Start(opening, machine);
    ASSERT_EQ(opening->Wait(std::chrono::seconds(10)), true);
    if (changed) machine = "another device";
    GstMediaOptions options;
    options.audioSink = sink;
    options.soundEnvironment = [&] { return machine; };
    options.begunOutput = opening;
    GstMediaBackend backend(testing_gst::QueuedCall(), options);
    auto graph = backend.CreateGraph();
    GstElement* pipeline = static_cast<GstGraph&>(*graph).Pipeline();
    ASSERT_NE(pipeline, nullptr);
    GstElement* early = gst_bin_get_by_name(GST_BIN(pipeline), "early");
    ASSERT_NE(early, nullptr);
    gst_object_unref(early);
    // The graph took the instance opened in advance, or left it.
    if (GstElement* left = opening->TakeSink()) {
      EXPECT_TRUE(changed);
      gst_object_ref_sink(left);
      gst_element_set_state(left, GST_STATE_NULL);
      gst_object_unref(left);
    } else {
      EXPECT_FALSE(changed);
    }
    Watch(*graph);
    notifications_ = 0;
    ASSERT_TRUE(graph->RenderFile(Tone(".wav", 3)));
    graph->Run();
    EXPECT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
    EXPECT_EQ(DrainEnds(*graph), 1);
  }
}

TEST_F(GstGraphTest, PauseHoldsThePositionAndRunResumes) {
  auto backend = Backend();
  auto graph = backend.CreateGraph();
  Watch(*graph);
  ASSERT_TRUE(graph->RenderFile(Tone(".mp3", 20)));
  graph->Run();
  ASSERT_TRUE(PumpUntil([&] { return graph->Position() > 0.3; }));
  graph->Pause();
  const double held = graph->Position();
  PumpUntil([] { return false; }, 300ms);
  EXPECT_NEAR(graph->Position(), held, 0.05);
  EXPECT_EQ(notifications_, 0);
  graph->Run();
  EXPECT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
}

}  // namespace
}  // namespace solka

namespace solka {
namespace {

// Tracks that follow each other in one output stream: each keeps its own rate, position, length
// and end; the second's data follows the first's in the same sink, whatever its format.
TEST_F(GstGraphTest, AFollowerPlaysRightAfterItsPredecessorAndKeepsItsOwnState) {
  // In real time: the follower must not be over before the test looks at its predecessor's end.
  auto backend = Backend(testing_gst::kProbeSink(true));
  const std::string other = folder_->File("other.flac");
  ASSERT_TRUE(fixtures::RunPipeline(
      "audiotestsrc samplesperbuffer=4800 num-buffers=10 ! audio/x-raw,rate=48000,channels=1 ! "
      "flacenc ! filesink location=\"" +
      other + "\""));
  auto first = backend.CreateGraph();
  Watch(*first);
  ASSERT_TRUE(first->RenderFile(Tone(".wav", 15)));
  OutputProbe probe(static_cast<GstGraph&>(*first).Pipeline());
  first->SetRate(1.5);
  first->Run();
  auto next = first->CreateFollower();
  ASSERT_NE(next, nullptr);
  int nextNotifications = 0;
  next->SetNotify([&] { ++nextNotifications; });
  next->Prepare(other);
  ASSERT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
  EXPECT_EQ(DrainEnds(*first), 1);
  EXPECT_NEAR(first->Position(), 1.5, 0.05);  // at its end, not at the follower's start
  EXPECT_EQ(nextNotifications, 0);

  ASSERT_TRUE(next->RenderFile(other));
  next->Run();
  EXPECT_NEAR(next->Duration(), 1.0, 0.05);
  EXPECT_EQ(next->Rate(), 1.0);
  ASSERT_TRUE(PumpUntil([&] { return nextNotifications > 0; }));
  EXPECT_EQ(DrainEnds(*next), 1);
  EXPECT_EQ(DrainEnds(*first), 0);
  EXPECT_NEAR(next->Position(), 1.0, 0.05);
  // 1.5 s at 1.5x, then 1 s: both went to the one sink, the second at its own higher rate (an
  // output is widened for a track, never a track narrowed for the output).
  EXPECT_NEAR(probe.Frames(), 44100 + 48000, 4410);
}

// A follower dropped before its turn (the user did something) leaves the track before it
// playing to its own end, and a follower that cannot be played fails at its turn, with its
// reason, as a start does; the track before it is not touched by either.
TEST_F(GstGraphTest, DroppedAndFailingFollowersLeaveTheirPredecessorWhole) {
  auto backend = Backend(testing_gst::kProbeSink(false));
  const std::string broken = Bytes("prepared-broken.wav", std::vector<std::uint8_t>(300, 'x'));
  for (const bool drop : {true, false}) {
    SCOPED_TRACE(drop ? "dropped" : "failing");
    notifications_ = 0;
    auto first = backend.CreateGraph();
    Watch(*first);
    ASSERT_TRUE(first->RenderFile(Tone(".flac", 10)));
    OutputProbe probe(static_cast<GstGraph&>(*first).Pipeline());
    probe.Reset();
    auto next = first->CreateFollower();
    ASSERT_NE(next, nullptr);
    next->Prepare(drop ? Tone(".wav", 10) : broken);
    first->Run();
    if (drop) next.reset();
    ASSERT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
    MediaEvent event;
    ASSERT_TRUE(first->GetEvent(event));
    EXPECT_EQ(event.kind, MediaEvent::Kind::Ended);
    EXPECT_FALSE(first->GetEvent(event));
    // All of it after the prerolled first buffer, and nothing of the other.
    EXPECT_NEAR(probe.Frames(), 44100 - 2500, 2500);
    if (drop) continue;
    const RenderResult result = next->RenderFile(broken);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(result.reason.find('\n'), std::string::npos) << result.reason;
  }
}

}  // namespace
}  // namespace solka

namespace solka {
namespace {

// A pipe that stands for a file whose reads never return (a network share gone quiet): one
// nobody writes never opens; one whose writer stops after a header and a little sound plays
// that much and then waits for ever. Neither holds up the caller: the first fails within the
// readiness rule, the second is released at once, in mid-play, and the loop and the next track
// go on; once the writers go, nothing of either is left.
TEST_F(GstGraphTest, AStalledSourceNeverHoldsUpTheCaller) {
  GstMediaOptions options;
  options.audioSink = testing_gst::kSilentSink;
  options.prerollTimeout = 1s;
  auto backend = std::make_unique<GstMediaBackend>(testing_gst::QueuedCall(), options);
  const std::string quiet = folder_->File("quiet.wav");
  ASSERT_EQ(mkfifo(quiet.c_str(), 0600), 0);
  EXPECT_FALSE(backend->CreateGraph()->RenderFile(quiet));

  // Ten seconds are promised, two are written, then nothing.
  const std::string whole = folder_->File("long8k.wav");
  ASSERT_TRUE(fixtures::RunPipeline(
      "audiotestsrc num-buffers=100 samplesperbuffer=800 ! audio/x-raw,rate=8000,channels=1 ! "
      "wavenc ! filesink location=\"" +
      whole + "\""));
  const std::string stalled = folder_->File("stalled.wav");
  ASSERT_EQ(mkfifo(stalled.c_str(), 0600), 0);
  const int writer = open(stalled.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  std::vector<char> head(44 + 32000);
  std::ifstream(whole, std::ios::binary)
      .read(head.data(), static_cast<std::streamsize>(head.size()));
  ASSERT_EQ(write(writer, head.data(), head.size()), static_cast<ssize_t>(head.size()));
  auto graph = backend->CreateGraph();
  Watch(*graph);
  const RenderResult started = graph->RenderFile(stalled);
  ASSERT_TRUE(started) << started.reason;
  graph->Run();
  // All it could decode played (the position holds): the reading thread waits inside read().
  double last = -1;
  auto since = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil([&] {
    const double now = graph->Position();
    if (now != last) since = std::chrono::steady_clock::now();
    last = now;
    return now > 1 && std::chrono::steady_clock::now() - since > 500ms;
  }));
  graph.reset();  // a Next while it waits for data

  bool answered = false;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&] { answered = true; }, Qt::QueuedConnection);
  EXPECT_TRUE(PumpUntil([&] { return answered; }));
  auto next = backend->CreateGraph();
  Watch(*next);
  ASSERT_TRUE(next->RenderFile(Tone(".wav", 3)));
  next->Run();
  EXPECT_TRUE(PumpUntil([&] { return DrainEnds(*next) == 1; }));
  next.reset();

  close(writer);
  close(open(quiet.c_str(), O_WRONLY | O_NONBLOCK));
  backend.reset();
  EXPECT_TRUE(PumpUntil([&] { return OpenFixtureFiles(folder_->File("")) == 0; }));
}

}  // namespace
}  // namespace solka

namespace solka {
namespace {

// The sound server dies under a playing track (a crash, a user's restart) and comes back on the
// same socket: the track goes on where it was, silently while there is no server and without a
// failure, and the next track is heard from the server again.
TEST_F(GstGraphTest, TheOutputSurvivesTheSoundServer) {
  if (!testing_gst::SoundServer::Installed()) GTEST_SKIP() << "no pulseaudio or parec";
  testing_gst::SoundServer server;
  ASSERT_TRUE(server.Start());
  GstMediaBackend backend(testing_gst::QueuedCall(), GstMediaOptions{});  // the default output
  auto graph = backend.CreateGraph();
  Watch(*graph);
  ASSERT_TRUE(graph->RenderFile(Tone(".wav", 80)));
  graph->Run();
  EXPECT_GT(server.Peak(), 0.1f);
  auto next = graph->CreateFollower();  // prepared as the player does, in the output that dies
  ASSERT_NE(next, nullptr);
  next->Prepare(Tone(".wav", 80));

  server.Kill();
  ASSERT_TRUE(PumpUntil([&] { return notifications_ > 0; }));
  MediaEvent event;
  while (graph->GetEvent(event))
    ADD_FAILURE() << "an event after the server went: " << event.reason;
  const double at = graph->Position();
  EXPECT_GT(at, 0.1);
  EXPECT_TRUE(PumpUntil([&] { return graph->Position() > at + 0.5; })) << "it stands still";

  ASSERT_TRUE(server.Start());
  // A follower would stay in the silent output: the next track opens the server's.
  EXPECT_EQ(graph->CreateFollower(), nullptr);
  ASSERT_TRUE(next->RenderFile(Tone(".wav", 80)));
  graph.reset();
  next->Run();
  EXPECT_GT(server.Peak(), 0.1f);
}

}  // namespace
}  // namespace solka

namespace solka {
namespace {

// An 8 kHz mono first track does not narrow the output for the track after it: a 6 kHz tone on
// the left channel only comes out at its own rate, on the left only.
TEST_F(GstGraphTest, ALowQualityFirstTrackDoesNotNarrowTheNextOne) {
  const std::string low = folder_->File("low.wav"), left = folder_->File("left.wav");
  ASSERT_TRUE(fixtures::RunPipeline(
      "audiotestsrc num-buffers=5 samplesperbuffer=800 ! audio/x-raw,rate=8000,channels=1 ! "
      "wavenc ! filesink location=\"" +
      low + "\""));
  ASSERT_TRUE(fixtures::RunPipeline(
      "audiotestsrc freq=6000 volume=0.5 num-buffers=10 samplesperbuffer=4410 ! "
      "audio/x-raw,rate=44100,channels=1 ! audiopanorama panorama=-1 ! wavenc ! "
      "filesink location=\"" +
      left + "\""));
  auto backend = Backend(testing_gst::kProbeSink(false));
  auto first = backend.CreateGraph();
  Watch(*first);
  ASSERT_TRUE(first->RenderFile(low));
  OutputProbe probe(static_cast<GstGraph&>(*first).Pipeline());
  auto next = first->CreateFollower();
  ASSERT_NE(next, nullptr);
  next->Prepare(left);
  first->Run();
  ASSERT_TRUE(PumpUntil([&] { return DrainEnds(*first) == 1; }));
  ASSERT_TRUE(next->RenderFile(left));
  int nextEnds = 0;
  next->SetNotify([&] { nextEnds += DrainEnds(*next); });
  next->Run();
  ASSERT_TRUE(PumpUntil([&] { return nextEnds == 1; }));

  EXPECT_GE(probe.Rate(), 44100);
  // The last half second: the tone on the left, nothing on the right.
  const std::vector<float> l = probe.Samples(), r = probe.Right();
  ASSERT_GT(l.size(), static_cast<std::size_t>(probe.Rate()));
  const std::size_t from = l.size() - static_cast<std::size_t>(probe.Rate() / 2);
  float leftPeak = 0, rightPeak = 0;
  int crossings = 0;
  for (std::size_t i = from; i < l.size(); ++i) {
    leftPeak = std::max(leftPeak, std::fabs(l[i]));
    rightPeak = std::max(rightPeak, std::fabs(r[i]));
    if ((l[i - 1] < 0) != (l[i] < 0)) ++crossings;
  }
  EXPECT_GT(leftPeak, 0.3f);
  EXPECT_LT(rightPeak, 0.01f);
  EXPECT_NEAR(crossings, 6000, 300) << "two crossings per cycle of 6 kHz in half a second";
}

}  // namespace
}  // namespace solka

namespace solka {
namespace {

// A user's change of track, as the player makes it (the old track is stopped and released, then
// the chosen one started in the same step), keeps the running output: the chosen track joins
// it, and only a stop ends it. A storm of such changes leaves every element it drops in its
// NULL state (GStreamer complains of any other).
TEST_F(GstGraphTest, AUsersNextKeepsTheRunningOutput) {
  int criticals = 0;
  const guint handler = g_log_set_handler(
      "GStreamer", static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
      [](const gchar*, GLogLevelFlags, const gchar* message, gpointer count) {
        ADD_FAILURE() << message;
        ++*static_cast<int*>(count);
      },
      &criticals);
  auto backend = Backend(testing_gst::kProbeSink(true));
  auto graph = backend.CreateGraph();
  GstElement* const output = static_cast<GstGraph&>(*graph).Pipeline();
  OutputProbe probe(output);
  // Long enough that no press comes after a track's end, when a new output is right.
  const std::vector<std::string> tracks = {Tone(".wav", 20), Tone(".flac", 20), Tone(".ogg", 20)};
  ASSERT_TRUE(graph->RenderFile(tracks[0]));
  graph->Run();
  for (int press = 1; press <= 12; ++press) {
    ASSERT_TRUE(PumpUntil([&] { return graph->Position() > 0.05 * (press % 4); }));
    if (press % 5 == 0) graph->Pause();  // a Next while paused
    graph->Stop();
    graph.reset();
    graph = backend.CreateGraph();
    EXPECT_EQ(static_cast<GstGraph&>(*graph).Pipeline(), output) << "press " << press;
    Watch(*graph);
    ASSERT_TRUE(graph->RenderFile(tracks[press % 3])) << "press " << press;
    graph->Run();
    if (press % 5 == 0) {  // the pause holds, then a seek in the track chosen
      graph->Pause();
      PumpUntil([] { return false; }, 100ms);
      graph->Run();
      graph->SetPosition(1.0);
      EXPECT_TRUE(PumpUntil([&] { return graph->Position() > 1.05; })) << graph->Position();
    }
  }
  // The last one plays to its end, all of it after what the others played.
  const long before = probe.Frames();
  ASSERT_TRUE(PumpUntil([&] { return DrainEnds(*graph) == 1; }));
  EXPECT_NEAR(probe.Frames() - before, 2 * 44100, 8820);

  // A stop ends the output: the next start opens a new one.
  graph->Stop();
  graph.reset();
  PumpUntil([] { return false; }, 50ms);
  auto fresh = backend.CreateGraph();
  EXPECT_NE(static_cast<GstGraph&>(*fresh).Pipeline(), output);
  fresh.reset();
  PumpUntil([] { return false; }, 200ms);
  g_log_remove_handler("GStreamer", handler);
  EXPECT_EQ(criticals, 0);
}

}  // namespace
}  // namespace solka
