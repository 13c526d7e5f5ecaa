// The now-playing messages as their receivers expect them, byte for byte: the class names they
// listen under, the number each message carries and its data block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/api/copy_data.h"

namespace solka {

// The instant-messaging client's status window and the plain-text receiver.
constexpr std::string_view kMessengerClass = "MsnMsgrUIManager";
constexpr std::string_view kTzzzClass = "Tzzz";
constexpr std::uint32_t kMessengerData = 0x547;
constexpr std::uint32_t kTzzzData = 3000;

// The client's status text. `\0` in it is backslash and zero, the text's own field separator.
std::string MessengerAnnounceText(bool on, std::string_view title);
std::string MessengerClearText();

// The client's message: a zero-filled block of 2 * `systemLength` + 2 bytes (the text's length
// in the system's code page) that holds the text in UTF-16 (little-endian) and a terminating
// zero; text with multi-byte characters converts shorter and leaves more zeros behind it.
CopyData MessengerMessage(std::string_view text, std::size_t systemLength);

// The plain-text receiver's message: "DODEDEV : " and the title, without a terminator; the
// empty text when playback ends.
CopyData TzzzAnnounce(std::string_view title);
CopyData TzzzClear();

// UTF-8 to UTF-16 code units (little-endian bytes). A byte that starts no valid character
// becomes U+FFFD, so every input byte gives at most two output bytes.
std::string Utf8ToUtf16Le(std::string_view text);

}  // namespace solka
