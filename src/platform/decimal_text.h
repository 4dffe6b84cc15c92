// Decimal text to number, read the way every caller of the program reads it: an optional '+' or
// '-', then decimal digits up to the first other byte (no digit reads as 0), wrapping modulo 2^32.
#ifndef CARTIDEX_PLATFORM_DECIMAL_TEXT_H_
#define CARTIDEX_PLATFORM_DECIMAL_TEXT_H_

#include <cstdint>
#include <string_view>

namespace cartidex {

int32_t StrToInt(std::string_view text);

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_DECIMAL_TEXT_H_
