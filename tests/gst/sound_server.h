// A sound server of the test's own (PulseAudio with one null output), found by the engine as a
// desktop's would be: through XDG_RUNTIME_DIR, which it points at a private folder while it
// lives. Its output's monitor can be recorded to hear what the engine plays.
#pragma once

#include <glib.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/temp_folder.h"

namespace solka::testing_gst {

class SoundServer {
 public:
  static bool Installed() {
    gchar* found = g_find_program_in_path("pulseaudio");
    gchar* recorder = g_find_program_in_path("parec");
    const bool both = found && recorder;
    g_free(found);
    g_free(recorder);
    return both;
  }

  SoundServer() {
    runtime_ = folder_.File("runtime");
    std::filesystem::create_directory(runtime_);
    std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
    Keep("XDG_RUNTIME_DIR", runtime_);
    Keep("HOME", folder_.File(""));
  }
  ~SoundServer() {
    StopRecording();
    Kill();
    for (auto& [name, value] : saved_)
      value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
  }
  SoundServer(const SoundServer&) = delete;
  SoundServer& operator=(const SoundServer&) = delete;

  // Starts the server (again); true once it answers.
  bool Start() {
    server_ = Spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                     "--disable-shm=yes", "-L", "module-native-protocol-unix", "-L",
                     "module-null-sink sink_name=solka rate=48000 channels=2"},
                    nullptr);
    for (int i = 0; i < 200; ++i) {
      if (system("pactl info >/dev/null 2>&1") == 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  // Ends the server as a crash does: nothing is closed nor removed.
  void Kill() {
    StopRecording();
    if (server_ <= 0) return;
    kill(server_, SIGKILL);
    waitpid(server_, nullptr, 0);
    server_ = 0;
  }
  pid_t Pid() const { return server_; }

  // Records the null output's monitor from now on.
  void Record() {
    StopRecording();
    peak_ = 0;
    int out = -1;
    recorder_ = Spawn({"parec", "-d", "solka.monitor", "--format=float32le", "--rate=48000",
                       "--channels=1", "--raw", "--latency-msec=20"},
                      &out);
    reader_ = std::thread([this, out] {
      std::vector<float> samples(4800);
      for (;;) {
        const ssize_t got = read(out, samples.data(), samples.size() * sizeof(float));
        if (got <= 0) break;
        float peak = peak_;
        for (ssize_t i = 0; i < got / static_cast<ssize_t>(sizeof(float)); ++i)
          peak = std::max(peak, std::fabs(samples[i]));
        peak_ = peak;
      }
      close(out);
    });
  }
  // The loudest sample recorded since Record.
  float Peak() const { return peak_; }

 private:
  static pid_t Spawn(std::vector<std::string> words, int* out) {
    std::vector<gchar*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    GPid pid = 0;
    const auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD |
                                                G_SPAWN_STDERR_TO_DEV_NULL |
                                                (out ? 0 : G_SPAWN_STDOUT_TO_DEV_NULL));
    if (!g_spawn_async_with_pipes(nullptr, argv.data(), nullptr, flags, nullptr, nullptr, &pid,
                                  nullptr, out, nullptr, nullptr))
      return 0;
    return pid;
  }
  void StopRecording() {
    if (recorder_ > 0) {
      kill(recorder_, SIGTERM);
      waitpid(recorder_, nullptr, 0);
      recorder_ = 0;
    }
    if (reader_.joinable()) reader_.join();
  }
  void Keep(const std::string& name, const std::string& value) {
    const char* old = getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    setenv(name.c_str(), value.c_str(), 1);
  }

  testing_files::TempFolder folder_;
  std::string runtime_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  pid_t server_ = 0;
  pid_t recorder_ = 0;
  std::thread reader_;
  std::atomic<float> peak_ = 0;
};

}  // namespace solka::testing_gst
