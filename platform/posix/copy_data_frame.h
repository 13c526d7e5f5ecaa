// The wire form of a copy-data message on a stream socket: the number field and the byte count
// (32 bits each, little-endian), then the bytes. The answer is one 32-bit little-endian word.
// Standard C++ only, so the reader can be fuzzed on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/api/copy_data.h"

namespace solka {

inline constexpr std::size_t kFrameHeaderBytes = 8;

std::string EncodeLe32(std::uint32_t value);
// The first four bytes of `bytes` (which must hold at least four).
std::uint32_t DecodeLe32(std::string_view bytes);

// Header and data block; the caller keeps the block within the limit.
std::string EncodeFrame(const CopyData& frame);

// Reads one frame from bytes as they arrive, in pieces of any size. It never holds more than the
// header and the announced block, and refuses a block over the limit as soon as the header says
// so, before any of it is read.
class FrameReader {
 public:
  enum class State { NeedMore, Complete, TooLarge };

  explicit FrameReader(std::size_t limit = kMaxCopyDataBytes) : limit_(limit) {}

  // Takes bytes from the front of `data` and returns how many it used: never more than the frame
  // still needs, and none once the frame is complete or refused.
  std::size_t Feed(std::string_view data);
  // How many bytes to read next without reading past the frame: the rest of the header, then the
  // rest of the block (0 once complete or refused).
  std::size_t Wanted() const;
  State Status() const { return state_; }
  // The frame, once Complete.
  const CopyData& Frame() const { return frame_; }

 private:
  std::size_t limit_;
  State state_ = State::NeedMore;
  std::string header_;
  std::size_t count_ = 0;
  CopyData frame_;
};

}  // namespace solka
