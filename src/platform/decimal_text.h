// Decimal text to number, read the way every caller of the program reads it: an optional '+' or
// '-', then decimal digits up to the first other byte (no digit reads as 0), wrapping modulo 2^32.
#ifndef CARTIDEX_PLATFORM_DECIMAL_TEXT_H_
#define CARTIDEX_PLATFORM_DECIMAL_TEXT_H_

#include <cstdint>
#include <string_view>

namespace cartidex {

// Inline: a load reads a size for every ROM of every datafile.
inline int32_t StrToInt(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(text[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_DECIMAL_TEXT_H_
