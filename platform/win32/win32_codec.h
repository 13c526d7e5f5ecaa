// Legacy text on Windows: CP932 (Japanese) through the system's own code page tables, and the
// user's ANSI code page for text other programs send or expect.
#pragma once

#include <optional>
#include <string>

#include "platform/api/text_codec.h"

namespace solka {

class Win32Codec : public TextCodec {
 public:
  std::optional<std::string> LegacyToUtf8(const std::string& bytes) const override;
};

// `bytes` in code page `codePage` as UTF-8; nullopt when they are not valid in it.
std::optional<std::string> CodePageToUtf8(unsigned codePage, const std::string& bytes);
// UTF-8 text in code page `codePage`; characters it lacks become its default character ("?").
std::string Utf8ToCodePage(unsigned codePage, const std::string& utf8);
// Text another program sent: UTF-8 when it is valid UTF-8 (this program's own senders), else
// the user's ANSI code page (the original's senders).
std::string ReceivedTextToUtf8(const std::string& bytes);

}  // namespace solka
