#include "identify/copier_header.h"

#include <gtest/gtest.h>

#include <string>

namespace cartidex {
namespace {

TEST(CopierHeaderTest, RecognisedByTheirBytesWhenDataFollows) {
  using namespace std::string_literals;
  struct Case {
    std::string start;
    uint64_t file_size;
    uint32_t header;
  } cases[] = {{"NES\x1A\x02\x01"s, 40, 16},
               {"FDS\x1A"s, 17, 16},
               {"\1ATARI7800\0\0"s, 129, 128},
               {"LYNX\0\x02"s, 1000, 64},
               {"LYNX"s, 64, 0} /* nothing after the header */,
               {"NES\x1B"s, 40, 0},
               {"nes\x1A"s, 40, 0},
               {"ATARI7800"s, 200, 0} /* a byte early */,
               {"NE"s, 40, 0},
               {""s, 40, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(CopierHeaderSize(c.start, c.file_size), c.header) << c.start;
  }
}

}  // namespace
}  // namespace cartidex
