// Legacy text on Windows: CP932 (Japanese) through the system's own code page tables, and the
// user's ANSI code page for text other programs send or expect.
#pragma once

#include <optional>
#include <string>

#include "platform/api/text_codec.h"

namespace solka {

class Win32Codec : public TextCodec {
 public:
  // `systemCodePage`: the code page of the system's own text; 0 is the user's ANSI code page.
  explicit Win32Codec(unsigned systemCodePage = 0) : systemCodePage_(systemCodePage) {}

  std::optional<std::string> LegacyToUtf8(const std::string& bytes) const override;
  std::optional<std::string> SystemToUtf8(const std::string& bytes) const override;
  std::optional<std::string> Utf8ToSystem(const std::string& utf8) const override;
  std::size_t SystemLength(std::string_view utf8) const override;
  std::string_view LineEnd() const override { return "\r\n"; }

 private:
  unsigned systemCodePage_;
};

// `bytes` in code page `codePage` as UTF-8; nullopt when they are not valid in it.
std::optional<std::string> CodePageToUtf8(unsigned codePage, const std::string& bytes);
// UTF-8 text in code page `codePage`; characters it lacks become its default character ("?").
std::string Utf8ToCodePage(unsigned codePage, const std::string& utf8);
// Text another program sent: UTF-8 when it is valid UTF-8 (this program's own senders), else
// the user's ANSI code page (the original's senders).
std::string ReceivedTextToUtf8(const std::string& bytes);

}  // namespace solka
