// ParseHex against its rule computed another way: digits and letters count 0-35, other bytes 0,
// the byte at position i of L weighs 16^(L-1-i), modulo 2^32. The eight digits shown read back.
#include "fuzz_support.h"
#include "identify/number_text.h"
#include "romdb/parse_hex.h"

void cartidex::fuzz::FuzzOne(std::string_view input) {
  uint32_t want = 0;
  for (size_t i = input.size() > 8 ? input.size() - 8 : 0; i < input.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(input[i]);
    const uint32_t digit = c >= '0' && c <= '9'   ? c - '0'
                           : c >= 'A' && c <= 'Z' ? c - 'A' + 10u
                           : c >= 'a' && c <= 'z' ? c - 'a' + 10u
                                                  : 0;
    want += digit << (4 * (input.size() - 1 - i));
  }
  const uint32_t value = ParseHex(input);
  Check(value == want, "ParseHex differs from the rule");
  Check(ParseHex(FormatHex8(value)) == value, "the shown CRC-32 does not read back");
}
