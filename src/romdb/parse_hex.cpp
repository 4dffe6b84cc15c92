#include "romdb/parse_hex.h"

namespace cartidex {

uint32_t ParseHex(std::string_view text) {
  uint32_t value = 0;
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'A' && c <= 'Z') {
      digit = c - 'A' + 10u;
    } else if (c >= 'a' && c <= 'z') {
      digit = c - 'a' + 10u;
    }
    // Horner's rule modulo 2^32 gives the same sum as weighing each place by 16^(L-1-i).
    value = value * 16u + digit;
  }
  return value;
}

}  // namespace cartidex
