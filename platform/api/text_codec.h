// Conversion of legacy ("ANSI") text to UTF-8, and the system's own text: the code page of the
// settings file and of the byte counts that limit a hint or size a message.
//
// Contract: pure functions of their input; any thread; never throws. The system text functions
// default to a system whose code page is UTF-8 (Linux), where they change nothing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace solka {

class TextCodec {
 public:
  virtual ~TextCodec() = default;
  // Decodes text in the legacy Japanese code page (CP932) to UTF-8; nullopt when the bytes are
  // not valid in that code page.
  virtual std::optional<std::string> LegacyToUtf8(const std::string& bytes) const = 0;

  // `bytes` in the system code page as UTF-8; nullopt when they are not valid there.
  virtual std::optional<std::string> SystemToUtf8(const std::string& bytes) const { return bytes; }
  // UTF-8 text in the system code page; nullopt when a character has no form there.
  virtual std::optional<std::string> Utf8ToSystem(const std::string& utf8) const { return utf8; }
  // Bytes of `utf8` in the system code page (a character the code page lacks counts as one).
  virtual std::size_t SystemLength(std::string_view utf8) const { return utf8.size(); }
  // The break that ends the lines of a new text file.
  virtual std::string_view LineEnd() const { return "\n"; }
};

}  // namespace solka
