// The order a shuffle of the play list gives for a given seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace solka {

// The pseudo-random generator of the shuffle: state × 22695477 + 1 modulo 2^32, each value
// being bits 16 to 30 of the new state. Seeding draws and discards one value.
class ShuffleRandom {
 public:
  explicit ShuffleRandom(std::uint32_t seed) : state_(seed) { Next(); }
  int Next() {
    state_ = state_ * 22695477u + 1u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  std::uint32_t state_;
};

constexpr std::size_t kValuesPerDraw = 32768;

// n times: move the first of `n` entries to position b = value mod n (n - 1 instead of 0 when
// `avoidFirst`). Lists longer than kValuesPerDraw take each value from two draws (high bits
// first). Returns, for each new position, the entry's old position.
std::vector<std::size_t> ShuffleOrder(std::size_t n, std::uint32_t seed, bool avoidFirst);

}  // namespace solka
