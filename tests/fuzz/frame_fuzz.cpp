// Feeds arbitrary bytes to the hand-over frame reader, in pieces whose sizes the input itself
// chooses, and checks what must hold however the bytes arrive: the same outcome as one piece, never
// more taken than the frame needs, a block within the limit, and a frame that encodes back to
// exactly the bytes it was read from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/posix/copy_data_frame.h"

namespace {

constexpr std::size_t kLimit = 64;  // small, so that both outcomes are easy to reach

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte sets the piece size; the rest is the stream.
  const std::size_t piece = 1 + data[0] % 16;
  const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);

  solka::FrameReader whole(kLimit);
  const std::size_t usedWhole = whole.Feed(stream);
  Check(usedWhole <= stream.size());

  solka::FrameReader pieces(kLimit);
  std::size_t used = 0;
  for (std::size_t at = 0; at < stream.size(); at += piece) {
    const std::string_view part = stream.substr(at, piece);
    const std::size_t wanted = pieces.Wanted();
    const std::size_t took = pieces.Feed(part);
    Check(took <= part.size());
    if (wanted == 0) Check(took == 0);
    used += took;
  }
  Check(used == usedWhole);
  Check(pieces.Status() == whole.Status());

  switch (whole.Status()) {
    case solka::FrameReader::State::Complete:
      Check(whole.Frame() == pieces.Frame());
      Check(whole.Frame().bytes.size() <= kLimit);
      Check(solka::EncodeFrame(whole.Frame()) == stream.substr(0, usedWhole));
      break;
    case solka::FrameReader::State::TooLarge:
      Check(usedWhole == solka::kFrameHeaderBytes);
      Check(solka::DecodeLe32(stream.substr(4)) > kLimit);
      break;
    case solka::FrameReader::State::NeedMore:
      Check(usedWhole == stream.size() && whole.Wanted() > 0);
      break;
  }
  return 0;
}
