// Feeds arbitrary bytes to the list-file reader and checks what every list must satisfy: lines
// hold no line ends or zero characters, they are valid UTF-8 when the file is UTF-8 or UTF-16,
// and writing them reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/text.h"
#include "platform/posix/posix_codec.h"
#include "playlist/list_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const solka::PosixCodec codec;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = solka::DecodeListFile(bytes, codec);
  const bool unicode = bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0 ||
                       solka::IsValidUtf8(bytes.substr(0, bytes.find('\0')));
  for (const std::string& line : lines) {
    if (unicode && !solka::IsValidUtf8(line)) std::abort();
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) std::abort();
  }
  // A leading U+FEFF would read back as a byte-order mark: the one line that cannot round-trip.
  if (!lines.empty() && lines[0].rfind("\xEF\xBB\xBF", 0) == 0) return 0;
  if (solka::DecodeListFile(solka::EncodeListFile(lines), codec) != lines) std::abort();
  return 0;
}
