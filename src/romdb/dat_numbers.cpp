#include "romdb/dat_numbers.h"

namespace cartidex {

namespace {

// Digit values by byte: 0-15 for hexadecimal digits, 255 for every other byte.
struct DigitTable {
  uint8_t value[256];
  constexpr DigitTable() : value() {
    for (int c = 0; c < 256; ++c) value[c] = 255;
    for (int c = '0'; c <= '9'; ++c) value[c] = static_cast<uint8_t>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) value[c] = static_cast<uint8_t>(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c) value[c] = static_cast<uint8_t>(c - 'A' + 10);
  }
};
constexpr DigitTable kDigits;

// Digits of one base only, and no more of them than the value can take.
bool ParseDigits(std::string_view digits, uint32_t base, uint32_t* value) {
  if (digits.empty()) return false;
  uint64_t v = 0;
  for (char c : digits) {
    const uint32_t d = kDigits.value[static_cast<unsigned char>(c)];
    if (d >= base) return false;
    v = v * base + d;
    if (v > 0xFFFFFFFFu) return false;
  }
  *value = static_cast<uint32_t>(v);
  return true;
}

}  // namespace

bool ParseDatSize(std::string_view text, uint32_t* value) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return ParseDigits(text.substr(2), 16, value);
  }
  return ParseDigits(text, 10, value);
}

bool ParseDatCrc(std::string_view text, uint32_t* value) {
  if (text.size() != 8) return false;
  return ParseDigits(text, 16, value);
}

}  // namespace cartidex
