// Feeds arbitrary bytes to the list-file reader and checks what every list must satisfy: lines
// are valid UTF-8 without line ends or zero characters, and writing them reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/posix/posix_codec.h"
#include "playlist/list_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const solka::PosixCodec codec;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = solka::DecodeListFile(bytes, codec);
  for (const std::string& line : lines) {
    if (!solka::IsValidUtf8(line)) std::abort();
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) std::abort();
  }
  // A leading U+FEFF would read back as a byte-order mark: the one line that cannot round-trip.
  if (!lines.empty() && lines[0].rfind("\xEF\xBB\xBF", 0) == 0) return 0;
  if (solka::DecodeListFile(solka::EncodeListFile(lines), codec) != lines) std::abort();
  return 0;
}
