// UTF-8 inside, UTF-16 at every Win32 call: the two conversions, lossless for valid text.
//
// Invalid UTF-8 becomes U+FFFD per bad sequence; an unpaired surrogate from the system becomes
// U+FFFD too, so a name the system returns always becomes text the core can handle.
#pragma once

#include <string>

namespace solka {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
std::string Narrow(const wchar_t* utf16, std::size_t length);

// The system's message for an error code (GetLastError or an HRESULT), on one line, without
// the line end Windows puts after it; the number in hex when the system has no text for it.
std::string SystemMessage(unsigned long code);

}  // namespace solka
