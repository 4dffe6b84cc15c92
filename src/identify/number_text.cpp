#include "identify/number_text.h"

namespace cartidex {

std::string FormatHex8(uint32_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text(8, '0');
  for (int i = 7; i >= 0; --i) {
    text[static_cast<size_t>(i)] = kDigits[value & 0xF];
    value >>= 4;
  }
  return text;
}

std::string FormatDecimal(uint32_t value) {
  std::string text;
  while (value != 0) {
    text.insert(text.begin(), static_cast<char>('0' + value % 10));
    value /= 10;
  }
  return text;
}

}  // namespace cartidex
