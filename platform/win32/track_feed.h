// The decoded sound of one track on its way from its decoding graph to the player's output: a
// bounded buffer of float frames at the track's own rate and channel count, with the level and
// speed the output applies to it and the count of frames the output has taken (its position).
//
// One producer (the graph's streaming thread, which waits while the buffer is full) and one
// consumer (the output's thread); the GUI thread flushes it for a seek or a stop.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace solka {

// The layout of the bytes a decoder hands over.
struct PcmFormat {
  int rate = 0;
  int channels = 0;
  int bits = 0;  // 8, 16, 24 or 32 per sample
  bool isFloat = false;
  bool Usable() const;
};

class TrackFeed {
 public:
  // `serial`: the graph's, for the output's notices about it.
  TrackFeed(std::uint64_t serial, PcmFormat format, double seconds = 1.0);

  std::uint64_t Serial() const { return serial_; }
  const PcmFormat& Format() const { return format_; }

  // Producer: converts and stores the bytes, waiting while the buffer is full. False when the
  // feed is flushing (the bytes are dropped).
  bool Push(const unsigned char* data, std::size_t bytes);
  // All data is in (the decoder's end, or its breakdown).
  void Finish();

  // GUI thread: drops what is buffered and wakes a waiting producer; data pushed meanwhile is
  // dropped too, until Restart, which counts the position from `seconds`.
  void Flush();
  void Restart(double seconds);

  // Consumer: up to `frames` frames into `out` (interleaved, the feed's channels); how many.
  std::size_t Read(float* out, std::size_t frames);
  // Nothing buffered and nothing more to come.
  bool Exhausted();
  bool HasData();
  // Changes with every Restart: what the consumer holds of the old data is stale.
  std::uint32_t Generation() const { return generation_.load(); }

  void Consumed(std::size_t frames) { consumed_ += frames; }
  double Position() const;

  std::atomic<float> gain{1.0f};
  std::atomic<double> speed{1.0};
  // Set by the output once every frame has been taken.
  std::atomic<bool> drained{false};

 private:
  const std::uint64_t serial_;
  const PcmFormat format_;
  std::mutex mutex_;
  std::condition_variable space_;
  std::vector<float> ring_;           // capacity frames × channels
  std::size_t head_ = 0, count_ = 0;  // in samples
  bool finished_ = false;
  bool flushing_ = false;
  std::atomic<std::uint32_t> generation_{0};
  std::atomic<double> base_{0.0};
  std::atomic<std::uint64_t> consumed_{0};
};

}  // namespace solka
