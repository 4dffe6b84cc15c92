// ParseHex on arbitrary bytes, against the rule as the datafiles state it: every byte takes a
// place, digits and letters count 0-35, other bytes 0, the byte at position i of L weighs
// 16^(L-1-i), and the sum wraps modulo 2^32 (so only the last eight places count). Also checks
// that the eight-digit text the program shows reads back to the same number.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_sandbox.h"
#include "identify/number_text.h"
#include "romdb/parse_hex.h"

namespace {

uint32_t DigitValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10u;
  if (c >= 'a' && c <= 'z') return c - 'a' + 10u;
  return 0;
}

// The sum of value times weight, each weight a power of 16 taken modulo 2^32; 16^8 and beyond
// are 0 there.
uint32_t ByTheRule(std::string_view text) {
  uint64_t sum = 0;
  const size_t length = text.size();
  for (size_t i = 0; i < length; ++i) {
    size_t power = length - 1 - i;
    if (power >= 8) continue;
    sum += static_cast<uint64_t>(DigitValue(static_cast<unsigned char>(text[i]))) << (4 * power);
  }
  return static_cast<uint32_t>(sum);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using cartidex::fuzz::Check;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const uint32_t value = cartidex::ParseHex(text);
  Check(value == ByTheRule(text), "ParseHex differs from the rule");
  Check(cartidex::ParseHex(cartidex::FormatHex8(value)) == value,
        "the shown CRC-32 does not read back");
  return 0;
}
