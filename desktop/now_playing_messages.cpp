#include "desktop/now_playing_messages.h"

#include "base/text.h"

namespace solka {

namespace {

constexpr std::string_view kAnnounceHead = "DODEDEV\\0Music\\0";
constexpr std::string_view kTitleFormat = "\\0{0} -{1}\\0";
constexpr std::string_view kTail = "\\0 @DODEDEV\\0";
constexpr std::string_view kTzzzPrefix = "DODEDEV : ";
constexpr char32_t kReplacement = 0xFFFD;

void PutUnit(std::string& out, char32_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

// The next character of `text` from `i`, moving `i` past it; U+FFFD (one byte consumed) for a
// byte that starts no valid, shortest-form character.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  const std::size_t length = Utf8SequenceLength(text, i);
  if (length == 0) {
    ++i;
    return kReplacement;
  }
  char32_t cp = static_cast<unsigned char>(text[i]) & kLeadBits[length];
  for (std::size_t k = 1; k < length; ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  i += length;
  return cp;
}

}  // namespace

std::string Utf8ToUtf16Le(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    const char32_t cp = NextCodePoint(text, i);
    if (cp >= 0x10000) {
      PutUnit(out, 0xD800 + ((cp - 0x10000) >> 10));
      PutUnit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      PutUnit(out, cp);
    }
  }
  return out;
}

std::string MessengerAnnounceText(bool on, std::string_view title) {
  std::string text(kAnnounceHead);
  text += on ? '1' : '0';
  text += kTitleFormat;
  text += title;
  text += kTail;
  return text;
}

std::string MessengerClearText() {
  return MessengerAnnounceText(false, "-");
}

CopyData MessengerMessage(std::string_view text, std::size_t systemLength) {
  CopyData message{kMessengerData, std::string(2 * systemLength + 2, '\0')};
  const std::string wide = Utf8ToUtf16Le(text);
  // The block holds the whole text even where a character counted short in the code page.
  if (wide.size() + 2 > message.bytes.size()) message.bytes.resize(wide.size() + 2, '\0');
  message.bytes.replace(0, wide.size(), wide);
  return message;
}

CopyData TzzzAnnounce(std::string_view title) {
  return {kTzzzData, std::string(kTzzzPrefix) + std::string(title)};
}

CopyData TzzzClear() {
  return {kTzzzData, {}};
}

}  // namespace solka
