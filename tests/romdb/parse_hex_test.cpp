#include "romdb/parse_hex.h"

#include <gtest/gtest.h>

namespace cartidex {
namespace {

// Stored datafiles were written against this exact arithmetic, quirks included.
TEST(ParseHexTest, ReadsEveryCharacterAsADigitInItsPlace) {
  EXPECT_EQ(ParseHex(""), 0u);
  EXPECT_EQ(ParseHex("1f"), 31u);
  EXPECT_EQ(ParseHex("1F"), 31u);
  EXPECT_EQ(ParseHex("0x1F"), 0x211Fu);  // 'x' is the digit 33
  EXPECT_EQ(ParseHex("1F "), 0x1F0u);    // a blank is a zero digit
  EXPECT_EQ(ParseHex("1G"), 32u);        // 'G' is 16 and carries left
  EXPECT_EQ(ParseHex("FFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseHex("deadbeef"), ParseHex("DEADBEEF"));
  EXPECT_EQ(ParseHex("123456789"), 0x23456789u);  // only the last eight places count
  EXPECT_EQ(ParseHex("zz"), 35u * 16u + 35u);
  EXPECT_EQ(ParseHex(std::string_view("\xff"
                                      "1",
                                      2)),
            1u);
}

}  // namespace
}  // namespace cartidex
