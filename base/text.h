// Text helpers shared by every subsystem. Text is UTF-8; lengths are bytes.
#pragma once

#include <string>
#include <string_view>

namespace solka {

// Letters compare without regard to case (ASCII folding; other bytes compare as they are).
int CompareNoCase(std::string_view a, std::string_view b);
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}
std::string ToLowerAscii(std::string_view text);

// The decimal integer a whole text stands for (optional sign, digits, nothing else), or
// `fallback` when it is not a number or does not fit in 32 bits.
int ToIntDef(std::string_view text, int fallback);

// Length of the well-formed UTF-8 sequence at `text[i]`, or 0 when it is not one (overlong
// forms, surrogates and code points above U+10FFFF included).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);
bool IsValidUtf8(std::string_view text);

// Cuts `text` to at most `maxBytes` bytes without splitting a UTF-8 character.
std::string_view CutUtf8(std::string_view text, std::size_t maxBytes);

}  // namespace solka
