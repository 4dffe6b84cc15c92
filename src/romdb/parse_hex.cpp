#include "romdb/parse_hex.h"

#include <array>

namespace cartidex {

namespace {

// The digit value of every byte: '0'-'9' give 0-9, letters of either case 10-35, anything else 0.
constexpr std::array<uint8_t, 256> kDigit = [] {
  std::array<uint8_t, 256> digit{};
  for (int c = '0'; c <= '9'; ++c) digit[static_cast<size_t>(c)] = static_cast<uint8_t>(c - '0');
  for (int c = 'A'; c <= 'Z'; ++c) {
    digit[static_cast<size_t>(c)] = static_cast<uint8_t>(c - 'A' + 10);
    digit[static_cast<size_t>(c - 'A' + 'a')] = static_cast<uint8_t>(c - 'A' + 10);
  }
  return digit;
}();

}  // namespace

uint32_t ParseHex(std::string_view text) {
  uint32_t value = 0;
  // Horner's rule modulo 2^32 gives the same sum as weighing each place by 16^(L-1-i).
  for (char c : text) value = value * 16u + kDigit[static_cast<unsigned char>(c)];
  return value;
}

}  // namespace cartidex
