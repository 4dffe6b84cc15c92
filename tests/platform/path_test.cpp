#include "platform/path.h"

#include <gtest/gtest.h>

#include "platform/decimal_text.h"

namespace cartidex {
namespace {

TEST(PathTest, SplittingAndJoiningUseThePlatformSeparator) {
  EXPECT_EQ(BaseName("/a/b/c.rom"), "c.rom");
  EXPECT_EQ(BaseName("c.rom"), "c.rom");
  EXPECT_EQ(FolderOf("/a/b/c.rom"), "/a/b/");
  EXPECT_EQ(FolderOf("c.rom"), "");
  EXPECT_EQ(JoinPath("/a", "b"), std::string("/a") + kSeparator + "b");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
#ifndef _WIN32
  // Here a backslash is an ordinary byte of a name.
  EXPECT_EQ(BaseName("/x/a\\b.rom"), "a\\b.rom");
#else
  EXPECT_EQ(BaseName("C:\\x/a\\b.rom"), "b.rom");
#endif
}

TEST(PathTest, NamesThatCannotBeFileNames) {
  EXPECT_FALSE(IsValidFileName(""));
  EXPECT_FALSE(IsValidFileName("."));
  EXPECT_FALSE(IsValidFileName(".."));
  EXPECT_FALSE(IsValidFileName("a/b"));
  EXPECT_FALSE(IsValidFileName(std::string("a\0b", 3)));
  EXPECT_TRUE(IsValidFileName("Game (Rev 1.1).zip"));
  EXPECT_EQ(SanitizeFileName("a/b"), "a_b");
#ifdef _WIN32
  EXPECT_FALSE(IsValidFileName("con.txt"));
  EXPECT_FALSE(IsValidFileName("a?b"));
  EXPECT_FALSE(IsValidFileName("trailing."));
  EXPECT_EQ(SanitizeFileName("a:b*c"), "a_b_c");
#endif
}

TEST(PathTest, LimitsCountTheWholePathAndEachComponent) {
  EXPECT_TRUE(PathFits(std::string(kMaxComponent, 'a')));
  EXPECT_FALSE(PathFits(std::string(kMaxComponent + 1, 'a')));
  std::string deep;
  while (deep.size() <= kMaxPath) deep += "/abcdefgh";
  EXPECT_FALSE(PathFits(deep));
}

TEST(DecimalTextTest, ReadsLikeTheWindowsCall) {
  EXPECT_EQ(StrToInt(""), 0);
  EXPECT_EQ(StrToInt("x12"), 0);
  EXPECT_EQ(StrToInt("3rd"), 3);
  EXPECT_EQ(StrToInt("-3"), -3);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt(" 7"), 0);
  EXPECT_EQ(StrToInt("65536"), 65536);
  EXPECT_EQ(static_cast<uint32_t>(StrToInt("4294967295")), 4294967295u);
  EXPECT_EQ(StrToInt("4294967296"), 0);  // wraps modulo 2^32
  EXPECT_EQ(static_cast<uint32_t>(StrToInt("-1")), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace cartidex
