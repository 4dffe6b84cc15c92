#include "platform/path.h"

#include <gtest/gtest.h>

#include "platform/decimal_text.h"

namespace cartidex {
namespace {

TEST(PathTest, SplittingJoiningAndLimits) {
  struct Split {
    std::string_view path, base, folder;
  };
  const Split kSplits[] = {
      {"/a/b/c.rom", "c.rom", "/a/b/"},
      {"c.rom", "c.rom", ""},
#ifndef _WIN32
      {"/x/a\\b.rom", "a\\b.rom", "/x/"},  // a backslash is an ordinary byte of a name here
#else
      {"C:\\x/a\\b.rom", "b.rom", "C:\\x/a\\"},
#endif
  };
  for (const Split& s : kSplits) {
    EXPECT_EQ(BaseName(s.path), s.base) << s.path;
    EXPECT_EQ(FolderOf(s.path), s.folder) << s.path;
  }
  EXPECT_EQ(JoinPath("/a", "b"), std::string("/a") + kSeparator + "b");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_TRUE(PathFits(std::string(kMaxComponent, 'a')));
  EXPECT_FALSE(PathFits(std::string(kMaxComponent + 1, 'a')));
  std::string deep;
  while (deep.size() <= kMaxPath) deep += "/abcdefgh";
  EXPECT_FALSE(PathFits(deep));
}

TEST(DecimalTextTest, SignThenDigitsUpToAnyOtherByteWrappingModulo2To32) {
  const std::pair<const char*, uint32_t> kCases[] = {
      {"", 0},           {"x12", 0},          {"3rd", 3},       {"-3", 0xFFFFFFFDu},
      {"+7", 7},         {" 7", 0},           {"65536", 65536}, {"4294967295", 0xFFFFFFFFu},
      {"4294967296", 0}, {"-1", 0xFFFFFFFFu},
  };
  for (const auto& [text, value] : kCases) {
    EXPECT_EQ(static_cast<uint32_t>(StrToInt(text)), value) << text;
  }
}

}  // namespace
}  // namespace cartidex
