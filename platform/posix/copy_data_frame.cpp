#include "platform/posix/copy_data_frame.h"

#include <algorithm>

namespace solka {

std::string EncodeLe32(std::uint32_t value) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

std::uint32_t DecodeLe32(std::string_view bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  return value;
}

std::string EncodeFrame(const CopyData& frame) {
  return EncodeLe32(frame.dwData) + EncodeLe32(static_cast<std::uint32_t>(frame.bytes.size())) +
         frame.bytes;
}

std::size_t FrameReader::Wanted() const {
  if (state_ != State::NeedMore) return 0;
  if (header_.size() < kFrameHeaderBytes) return kFrameHeaderBytes - header_.size();
  return count_ - frame_.bytes.size();
}

std::size_t FrameReader::Feed(std::string_view data) {
  std::size_t used = 0;
  while (state_ == State::NeedMore && used < data.size()) {
    const std::size_t take = std::min(Wanted(), data.size() - used);
    if (header_.size() < kFrameHeaderBytes) {
      header_.append(data.substr(used, take));
      used += take;
      if (header_.size() < kFrameHeaderBytes) break;
      frame_.dwData = DecodeLe32(header_);
      const std::uint32_t count = DecodeLe32(std::string_view(header_).substr(4));
      if (count > limit_) {
        state_ = State::TooLarge;
        break;
      }
      count_ = count;
      frame_.bytes.reserve(count_);
    } else {
      frame_.bytes.append(data.substr(used, take));
      used += take;
    }
    if (header_.size() == kFrameHeaderBytes && frame_.bytes.size() == count_)
      state_ = State::Complete;
  }
  return used;
}

}  // namespace solka
