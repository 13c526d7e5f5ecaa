#include "platform/gst/adts_length.h"

#include <array>
#include <cstdint>
#include <fstream>

namespace solka {
namespace {

constexpr std::array<int, 13> kSampleRates = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                              22050, 16000, 12000, 11025, 8000,  7350};

// Skips an ID3v2 tag in front of the stream, which some writers put there.
void SkipId3(std::ifstream& in) {
  std::array<unsigned char, 10> h{};
  if (!in.read(reinterpret_cast<char*>(h.data()), h.size()) || h[0] != 'I' || h[1] != 'D' ||
      h[2] != '3') {
    in.clear();
    in.seekg(0);
    return;
  }
  const std::uint32_t size =
      (h[6] & 0x7F) << 21 | (h[7] & 0x7F) << 14 | (h[8] & 0x7F) << 7 | (h[9] & 0x7F);
  const bool footer = h[5] & 0x10;
  in.seekg(10 + size + (footer ? 10 : 0));
}

}  // namespace

double AdtsLength(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return 0;
  SkipId3(in);
  std::uint64_t samples = 0;
  int rate = 0;
  std::array<unsigned char, 7> h{};
  std::streamoff at = in.tellg();
  while (in.read(reinterpret_cast<char*>(h.data()), h.size())) {
    if (h[0] != 0xFF || (h[1] & 0xF6) != 0xF0) break;  // trailing tag or garbage: the end
    const int rateIndex = (h[2] >> 2) & 0x0F;
    const int length = (h[3] & 0x03) << 11 | h[4] << 3 | h[5] >> 5;
    if (rateIndex >= static_cast<int>(kSampleRates.size()) || length < 7) break;
    if (rate != 0 && rate != kSampleRates[rateIndex]) break;
    rate = kSampleRates[rateIndex];
    samples += 1024u * ((h[6] & 0x03) + 1u);
    at += length;
    in.seekg(at);
  }
  return rate ? static_cast<double>(samples) / rate : 0.0;
}

}  // namespace solka
