// ParseHex: the datafiles' CRC-32 text to a number. Every character takes a place: '0'-'9' count
// 0-9, letters 'A'-'Z' and 'a'-'z' count 10-35 (so 'G' is 16 and carries left), any other byte
// counts 0; the character at position i of a text of length L weighs 16^(L-1-i), and the sum
// wraps modulo 2^32. Stored datafiles rely on this exact arithmetic.
#ifndef CARTIDEX_ROMDB_PARSE_HEX_H_
#define CARTIDEX_ROMDB_PARSE_HEX_H_

#include <cstdint>
#include <string_view>

namespace cartidex {

inline uint32_t ParseHex(std::string_view text) {
  uint32_t value = 0;
  // Horner's rule modulo 2^32 gives the same sum as weighing each place by 16^(L-1-i).
  for (const char c : text) {
    uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'Z') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'z') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    }
    value = value * 16u + digit;
  }
  return value;
}

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_PARSE_HEX_H_
