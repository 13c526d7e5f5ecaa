// A sound server of the test's own (PulseAudio with one null output), found by the engine as a
// desktop's would be: through XDG_RUNTIME_DIR (and HOME, for its cookie), which point into a
// private folder while it lives. What the engine plays is heard on the output's monitor.
#pragma once

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tests/temp_folder.h"

namespace solka::testing_gst {

class SoundServer {
 public:
  static bool Installed() { return system("command -v pulseaudio parec >/dev/null 2>&1") == 0; }

  SoundServer() : home_(getenv("HOME") ? getenv("HOME") : "") {
    if (const char* runtime = getenv("XDG_RUNTIME_DIR")) runtime_ = runtime;
    setenv("HOME", folder_.File("").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder_.File("").c_str(), 1);
  }
  ~SoundServer() {
    Kill();
    setenv("HOME", home_.c_str(), 1);
    runtime_ ? setenv("XDG_RUNTIME_DIR", runtime_->c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
  }

  // Starts the server (again); true once it answers.
  bool Start() {
    return system(
               "pulseaudio -n --daemonize=yes --exit-idle-time=-1 --disable-shm=yes -L "
               "module-native-protocol-unix -L 'module-null-sink sink_name=solka' "
               "2>/dev/null && for i in $(seq 100); do pactl info >/dev/null 2>&1 && exit 0; "
               "sleep 0.1; done; exit 1") == 0;
  }
  // Ends the server as a crash does: its socket stays (the file naming its process goes, which
  // a process that nobody reaps yet would still seem to be).
  void Kill() {
    int pid = 0;
    if (std::ifstream(folder_.File("pulse/pid")) >> pid) kill(pid, SIGKILL);
    std::remove(folder_.File("pulse/pid").c_str());
  }
  // The loudest sample the output plays in the next half second.
  static float Peak() {
    FILE* in = popen(
        "timeout 10 parec -d solka.monitor --format=float32le --rate=48000 "
        "--channels=1 --raw 2>/dev/null | head -c 96000",
        "r");
    std::vector<float> samples(24000);
    samples.resize(fread(samples.data(), sizeof(float), samples.size(), in));
    pclose(in);
    float peak = 0;
    for (float s : samples) peak = std::max(peak, std::fabs(s));
    return peak;
  }

 private:
  testing_files::TempFolder folder_;
  std::string home_;
  std::optional<std::string> runtime_;
};

}  // namespace solka::testing_gst
