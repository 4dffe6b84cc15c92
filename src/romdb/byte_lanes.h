// Eight bytes at a time in a plain 64-bit word: the helpers of the text scans that have no wider
// registers to use.
#ifndef CARTIDEX_ROMDB_BYTE_LANES_H_
#define CARTIDEX_ROMDB_BYTE_LANES_H_

#include <bit>
#include <cstdint>
#include <cstring>

namespace cartidex {

inline constexpr uint64_t kEveryByte = 0x0101010101010101ull;

// The eight bytes at `p` as one word, p[0] in its lowest byte whatever the machine's byte order.
inline uint64_t LoadBytes(const char* p) {
  uint64_t word = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&word, p, 8);
  } else {
    for (int b = 0; b < 8; ++b) {
      word |= static_cast<uint64_t>(static_cast<unsigned char>(p[b])) << (8 * b);
    }
  }
  return word;
}

// The top bit of each byte of `word` that is zero (exact: no bit for a byte that is not zero,
// whatever its neighbours hold).
constexpr uint64_t ZeroBytes(uint64_t word) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// The top bit of each byte of `word` that equals `c`.
constexpr uint64_t BytesEqual(uint64_t word, unsigned char c) {
  return ZeroBytes(word ^ (kEveryByte * c));
}

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_BYTE_LANES_H_
