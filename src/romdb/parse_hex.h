// ParseHex: the datafiles' CRC-32 text to a number. Every character takes a place: '0'-'9' count
// 0-9, letters 'A'-'Z' and 'a'-'z' count 10-35 (so 'G' is 16 and carries left), any other byte
// counts 0; the character at position i of a text of length L weighs 16^(L-1-i), and the sum
// wraps modulo 2^32. Stored datafiles rely on this exact arithmetic.
#ifndef CARTIDEX_ROMDB_PARSE_HEX_H_
#define CARTIDEX_ROMDB_PARSE_HEX_H_

#include <array>
#include <cstdint>
#include <string_view>

namespace cartidex {

namespace parse_hex_internal {

// The digit value of every byte: '0'-'9' give 0-9, letters of either case 10-35, anything else 0.
inline constexpr std::array<uint8_t, 256> kDigits = [] {
  std::array<uint8_t, 256> digits{};
  for (int c = '0'; c <= '9'; ++c) digits[static_cast<size_t>(c)] = static_cast<uint8_t>(c - '0');
  for (int c = 'A'; c <= 'Z'; ++c) {
    digits[static_cast<size_t>(c)] = static_cast<uint8_t>(c - 'A' + 10);
    digits[static_cast<size_t>(c - 'A' + 'a')] = static_cast<uint8_t>(c - 'A' + 10);
  }
  return digits;
}();

}  // namespace parse_hex_internal

// The value of a strict hexadecimal digit ('0'-'9', 'a'-'f', 'A'-'F'), 16 for any other byte:
// the rule of DATs' numbers and digests, unlike the own datafiles' CRC-32s above.
inline uint32_t StrictHexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
  return 16;
}

inline uint32_t ParseHex(std::string_view text) {
  uint32_t value = 0;
  // Horner's rule modulo 2^32 gives the same sum as weighing each place by 16^(L-1-i).
  for (const char c : text) {
    value = value * 16u + parse_hex_internal::kDigits[static_cast<unsigned char>(c)];
  }
  return value;
}

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_PARSE_HEX_H_
