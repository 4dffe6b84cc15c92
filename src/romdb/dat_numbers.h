// The numbers of the DAT formats, read strictly: a DAT that says something odd about a ROM is
// more likely broken than meant, and a wrong size or CRC-32 would silently mis-identify files.
#ifndef CARTIDEX_ROMDB_DAT_NUMBERS_H_
#define CARTIDEX_ROMDB_DAT_NUMBERS_H_

#include <cstdint>
#include <string_view>

namespace cartidex {

// A size: decimal digits, or "0x" / "0X" followed by hexadecimal digits, with nothing before or
// after them and a value that fits 32 bits. False (and *value untouched) for anything else.
bool ParseDatSize(std::string_view text, uint32_t* value);

// A CRC-32: exactly eight hexadecimal digits, either case. False for anything else.
bool ParseDatCrc(std::string_view text, uint32_t* value);

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_DAT_NUMBERS_H_
