// The core's UTF-8 text and the UTF-16 that the window system's wide calls take.
#pragma once

#include <string>
#include <string_view>

namespace solka {

// Invalid UTF-8 becomes U+FFFD, as the system's own conversion does.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace solka
