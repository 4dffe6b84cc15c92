// Numbers as the dialog and the log show them.
#ifndef CARTIDEX_IDENTIFY_NUMBER_TEXT_H_
#define CARTIDEX_IDENTIFY_NUMBER_TEXT_H_

#include <cstdint>
#include <string>

namespace cartidex {

// Eight upper-case hexadecimal digits, leading zeros kept: 43981 gives "0000ABCD".
std::string FormatHex8(uint32_t value);
// Unsigned decimal digits without filling; 0 gives the empty text.
std::string FormatDecimal(uint32_t value);

}  // namespace cartidex

#endif  // CARTIDEX_IDENTIFY_NUMBER_TEXT_H_
