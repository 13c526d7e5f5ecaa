// The audio output each graph plays to, chosen afresh for each graph.
#pragma once

#include <gst/gst.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace solka {

// A cheap summary of what decides whether an output can be opened: the sound devices present
// and the sound servers listening. Reading it costs a folder listing and two file tests.
std::string SoundEnvironment();

// One opening of an output, on a thread of its own: whether it opens and, when it does, the
// opened sink, which the next graph takes instead of opening the output a second time.
class OutputOpening {
 public:
  // `description` as for AudioOutput. Nothing happens until Start.
  explicit OutputOpening(std::string description);
  // A sink nobody took is closed on a thread of its own (closing may wait for a server).
  ~OutputOpening();
  OutputOpening(const OutputOpening&) = delete;
  OutputOpening& operator=(const OutputOpening&) = delete;

  // Opens the output as it is in `environment`, on a thread of its own; GStreamer must be
  // started. Once only.
  static void Start(const std::shared_ptr<OutputOpening>& opening, std::string environment);
  // Whether it was started for this output in this environment.
  bool Matches(const std::string& description, const std::string& environment);
  // Whether the output opens; nothing when no answer came within `bound`.
  std::optional<bool> Wait(std::chrono::milliseconds bound);
  // The answer so far.
  std::optional<bool> Answer();
  // The opened sink (a floating reference), once; null when it did not open or was taken.
  GstElement* TakeSink();

 private:
  const std::string description_;
  std::mutex mutex_;
  std::condition_variable done_;
  std::optional<std::string> environment_;  // set by Start
  std::optional<bool> usable_;
  GstElement* sink_ = nullptr;
};

class AudioOutput {
 public:
  // `description` is a gst-launch bin description ("fakesink sync=true"); empty means the
  // desktop's default output. `environment` summarises what decides whether it opens
  // (SoundEnvironment unless a test says otherwise). `begun`, when given, is an opening started
  // before (at start-up): the first sink is its own when it is for the same output and nothing
  // has changed since.
  explicit AudioOutput(std::string description,
                       std::function<std::string()> environment = SoundEnvironment,
                       std::shared_ptr<OutputOpening> begun = nullptr);

  // A new sink for one graph (a floating reference). When the output cannot be opened (no
  // sound device, no sound server), the sink is a silent one that still keeps real time, so
  // that tracks end on time; this is said once per process on stderr. An output that failed
  // is tried again for a later graph as soon as the environment has changed (a headset
  // plugged in, a sound server started), so the fallback lasts only as long as its cause.
  GstElement* NewSink();
  // Whether NewSink would now choose otherwise than it last did: what decides it has changed.
  bool Changed();
  // An output made before was lost (its server went away): whatever was learnt is asked again.
  // `hangs`, when given, tells whether that output still waits for its server: until it no
  // longer does, new outputs are silent ones (opening another would hang as well).
  void Forget(std::function<bool()> hangs = nullptr);

 private:
  struct Probe {
    bool known = false;
    bool usable = false;
    std::string environment;  // as it was when the output was last opened
  };
  bool Usable(const std::string& description, const std::string& environment);
  // Whether the output opens; nothing when it did not answer within a bound.
  std::optional<bool> TryOpen(const std::string& description, const std::string& environment);

  std::string description_;
  std::function<std::string()> environment_;
  std::map<std::string, Probe> probes_;     // the configured output and the default one
  std::string lastEnvironment_;             // as it was for the last sink
  std::shared_ptr<OutputOpening> opening_;  // the last opening, which may still hang
  bool begun_ = false;                      // opening_ was begun before and not yet asked
  bool unanswered_ = false;                 // an opening for the last sink did not answer
  std::function<bool()> hangs_;             // a lost output that still waits for its server
};

}  // namespace solka
