// The length of a raw AAC (ADTS) file. Such a file has no header with its length, and the
// parser knows it only after reading the whole stream, while the player shows the length as
// soon as the track starts.
#pragma once

#include <string>

namespace solka {

// Seconds, counted from the frame headers; 0 when `path` is not an ADTS stream.
double AdtsLength(const std::string& path);

}  // namespace solka
