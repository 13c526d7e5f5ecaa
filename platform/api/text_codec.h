// Conversion of legacy ("ANSI") text to UTF-8.
//
// Contract: pure functions of their input; any thread; never throws.
#pragma once

#include <optional>
#include <string>

namespace solka {

class TextCodec {
 public:
  virtual ~TextCodec() = default;
  // Decodes text in the legacy Japanese code page (CP932) to UTF-8; nullopt when the bytes are
  // not valid in that code page.
  virtual std::optional<std::string> LegacyToUtf8(const std::string& bytes) const = 0;
};

}  // namespace solka
