// The count label's text after a list was built: " / N 曲", or empty for an empty list.
#pragma once

#include <cstddef>
#include <string>

namespace solka {

inline std::string TrackCountText(std::size_t count) {
  return count == 0 ? std::string() : " / " + std::to_string(count) + " 曲";
}

}  // namespace solka
