#include "platform/win32/win32_codec.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace solka {

std::optional<std::string> CodePageToUtf8(unsigned codePage, const std::string& bytes) {
  if (bytes.empty()) return std::string();
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
  return Narrow(wide);
}

std::string Utf8ToCodePage(unsigned codePage, const std::string& utf8) {
  const std::wstring wide = Widen(utf8);
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int bytes =
      WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, out.data(), bytes, nullptr, nullptr);
  return out;
}

std::optional<std::string> Win32Codec::LegacyToUtf8(const std::string& bytes) const {
  return CodePageToUtf8(932, bytes);
}

std::optional<std::string> Win32Codec::SystemToUtf8(const std::string& bytes) const {
  return CodePageToUtf8(systemCodePage_, bytes);
}

std::optional<std::string> Win32Codec::Utf8ToSystem(const std::string& utf8) const {
  std::string system = Utf8ToCodePage(systemCodePage_, utf8);
  // Only what reads back unchanged: a default character or a look-alike ("best fit") would
  // change a path without a word.
  if (CodePageToUtf8(systemCodePage_, system) != utf8) return std::nullopt;
  return system;
}

std::size_t Win32Codec::SystemLength(std::string_view utf8) const {
  return Utf8ToCodePage(systemCodePage_, std::string(utf8)).size();
}

std::string ReceivedTextToUtf8(const std::string& bytes) {
  if (CodePageToUtf8(CP_UTF8, bytes)) return bytes;
  return CodePageToUtf8(CP_ACP, bytes).value_or(bytes);
}

}  // namespace solka
