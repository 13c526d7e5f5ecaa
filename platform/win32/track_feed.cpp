#include "platform/win32/track_feed.h"

#include <algorithm>
#include <cstring>

namespace solka {

namespace {

float SampleAt(const unsigned char* p, const PcmFormat& f) {
  switch (f.bits) {
    case 8:
      return (static_cast<int>(p[0]) - 128) / 128.0f;
    case 16: {
      std::int16_t v;
      std::memcpy(&v, p, 2);
      return v / 32768.0f;
    }
    case 24: {
      const std::int32_t v = static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) << 8 |
                                                       static_cast<std::uint32_t>(p[1]) << 16 |
                                                       static_cast<std::uint32_t>(p[2]) << 24);
      return static_cast<float>(v / 2147483648.0);
    }
    default: {
      if (f.isFloat) {
        float v;
        std::memcpy(&v, p, 4);
        return v;
      }
      std::int32_t v;
      std::memcpy(&v, p, 4);
      return static_cast<float>(v / 2147483648.0);
    }
  }
}

}  // namespace

bool PcmFormat::Usable() const {
  const bool bitsOk = isFloat ? bits == 32 : (bits == 8 || bits == 16 || bits == 24 || bits == 32);
  return rate > 0 && rate <= 384000 && channels > 0 && channels <= 8 && bitsOk;
}

TrackFeed::TrackFeed(std::uint64_t serial, PcmFormat format, double seconds)
    : serial_(serial), format_(format) {
  const auto frames = static_cast<std::size_t>(std::max(1024.0, format.rate * seconds));
  ring_.resize(frames * static_cast<std::size_t>(std::max(1, format.channels)));
}

bool TrackFeed::Push(const unsigned char* data, std::size_t bytes) {
  const std::size_t width = static_cast<std::size_t>(format_.bits / 8);
  const std::size_t samples = bytes / width / format_.channels * format_.channels;
  std::size_t done = 0;
  std::unique_lock lock(mutex_);
  while (done < samples) {
    space_.wait(lock, [&] { return flushing_ || count_ < ring_.size(); });
    if (flushing_) return false;
    // Whole frames only, so a flush never leaves half a frame behind.
    std::size_t room = (ring_.size() - count_) / format_.channels * format_.channels;
    const std::size_t n = std::min(room, samples - done);
    for (std::size_t i = 0; i < n; ++i) {
      ring_[(head_ + count_) % ring_.size()] = SampleAt(data + (done + i) * width, format_);
      ++count_;
    }
    done += n;
  }
  return true;
}

void TrackFeed::Finish() {
  std::lock_guard lock(mutex_);
  finished_ = true;
}

void TrackFeed::Flush() {
  {
    std::lock_guard lock(mutex_);
    flushing_ = true;
    // Not at its end meanwhile: the output must not take the emptied feed for a finished one.
    finished_ = false;
    head_ = count_ = 0;
  }
  space_.notify_all();
}

void TrackFeed::Restart(double seconds) {
  std::lock_guard lock(mutex_);
  head_ = count_ = 0;
  finished_ = false;
  flushing_ = false;
  base_ = seconds;
  consumed_ = 0;
  ++generation_;
}

std::size_t TrackFeed::Read(float* out, std::size_t frames) {
  std::size_t n;
  {
    std::lock_guard lock(mutex_);
    n = std::min(frames * format_.channels, count_);
    for (std::size_t i = 0; i < n; ++i) out[i] = ring_[(head_ + i) % ring_.size()];
    head_ = (head_ + n) % ring_.size();
    count_ -= n;
  }
  if (n) space_.notify_all();
  return n / format_.channels;
}

bool TrackFeed::Exhausted() {
  std::lock_guard lock(mutex_);
  return finished_ && count_ == 0;
}

bool TrackFeed::HasData() {
  std::lock_guard lock(mutex_);
  return count_ > 0;
}

double TrackFeed::Position() const {
  return base_ + static_cast<double>(consumed_) / format_.rate;
}

}  // namespace solka
