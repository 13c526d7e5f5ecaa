#include "platform/posix/posix_codec.h"

#include <iconv.h>

namespace solka {

std::optional<std::string> PosixCodec::LegacyToUtf8(const std::string& bytes) const {
  // A converter per call keeps this free of shared state, so any thread may call it.
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(bytes.size() * 3 + 4, '\0');  // a CP932 byte never yields more than 3 bytes
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  // Invalid or truncated sequences (EILSEQ, EINVAL) mean the text is not CP932.
  if (result == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace solka
