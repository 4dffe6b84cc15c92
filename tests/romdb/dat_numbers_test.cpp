#include "romdb/dat_file.h"

#include <gtest/gtest.h>

namespace cartidex {
namespace {

uint32_t Size(std::string_view text) {
  uint32_t v = 12345;
  EXPECT_TRUE(ParseDatSize(text, &v)) << text;
  return v;
}

bool BadSize(std::string_view text) {
  uint32_t v = 12345;
  bool ok = ParseDatSize(text, &v);
  EXPECT_EQ(v, 12345u) << "a refused size must leave the value alone: " << text;
  return !ok;
}

TEST(DatNumbersTest, SizesAreDecimalOrPrefixedHexadecimal) {
  EXPECT_EQ(Size("0"), 0u);
  EXPECT_EQ(Size("131072"), 131072u);
  EXPECT_EQ(Size("0x20000"), 0x20000u);
  EXPECT_EQ(Size("0X1f"), 31u);
  EXPECT_EQ(Size("0010"), 10u);  // leading zeros are still decimal
  EXPECT_EQ(Size("4294967295"), 0xFFFFFFFFu);
  EXPECT_EQ(Size("0xFFFFFFFF"), 0xFFFFFFFFu);
}

TEST(DatNumbersTest, AnythingElseIsRefusedRatherThanGuessed) {
  for (std::string_view text : {"", "-1", "+1", " 1", "1 ", "1k", "20000h", "0x", "0x1G", "1f",
                                "4294967296", "0x100000000", "99999999999999999999", "1.5"}) {
    EXPECT_TRUE(BadSize(text)) << text;
  }
}

TEST(DatNumbersTest, CrcsAreExactlyEightHexadecimalDigits) {
  uint32_t v = 0;
  EXPECT_TRUE(ParseDatCrc("8e68533e", &v));
  EXPECT_EQ(v, 0x8E68533Eu);
  EXPECT_TRUE(ParseDatCrc("931A0BDC", &v));
  EXPECT_EQ(v, 0x931A0BDCu);
  EXPECT_TRUE(ParseDatCrc("00000000", &v));
  EXPECT_EQ(v, 0u);
  for (std::string_view text :
       {"", "8e68533", "08e68533e", "0x8e6853", "8e68533g", " 8e68533", "8e68-33e"}) {
    v = 7;
    EXPECT_FALSE(ParseDatCrc(text, &v)) << text;
    EXPECT_EQ(v, 7u);
  }
}

}  // namespace
}  // namespace cartidex
