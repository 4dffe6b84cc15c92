// Path rules, name rules, the listing's filter and order, and decimal text, as tables (in them
// '/' stands for the platform's separator); and the real OS's file times.
#include "platform/path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <tuple>

#include "platform/decimal_text.h"
#include "platform/env.h"
#include "platform/listing_order.h"
#include "support/scoped_time_zone.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

std::string P(std::string_view text) {
  std::string out(text);
  std::replace(out.begin(), out.end(), '/', kSeparator);
  return out;
}

TEST(PathTest, SplittingAndLimits) {
#ifndef _WIN32
  EXPECT_EQ(BaseName("/x/a\\b.rom"), "a\\b.rom");  // a backslash is an ordinary byte here
#else
  EXPECT_EQ(FolderOf("C:\\x/a\\b.rom"), "C:\\x/a\\");
#endif
  EXPECT_TRUE(PathFits(P("/" + std::string(kMaxComponent, 'a') + "/b")));
  EXPECT_FALSE(PathFits(std::string(kMaxComponent + 1, 'a')));
  std::string deep;
  while (deep.size() + 9 <= kMaxPath) deep += P("/abcdefgh");
  EXPECT_TRUE(PathFits(deep + std::string(kMaxPath - deep.size(), 'x')));
  EXPECT_FALSE(PathFits(deep + std::string(kMaxPath - deep.size() + 1, 'x')));
}

TEST(PathTest, FileNamesValidOrMadeSo) {
  // clang-format off
  const std::pair<std::string, std::string> kNames[] = {  // name, sanitised ("": bad)
      {"a.rom", "a.rom"}, {"", ""}, {".", ""}, {"..", ""}, {"a/b", ""},
      {std::string("a\0b", 3), ""},
      {std::string(kMaxComponent, 'n'), std::string(kMaxComponent, 'n')},
      {std::string(kMaxComponent + 1, 'n'), ""},
#ifdef _WIN32
      {"a\\b", ""}, {"a?b", ""}, {"a:b", ""}, {"a\x1f", ""}, {"end.", "end_"}, {"end ", "end_"},
      {"CON", "_CON"}, {"con.txt", "_con.txt"}, {"Lpt9.rom", "_Lpt9.rom"}, {"COM1", "_COM1"},
      {"nul .x", "_nul .x"}, {"COM0", "COM0"}, {"LPT0", "LPT0"}, {"COMA", "COMA"},
      {"COM10", "COM10"}, {"CONX", "CONX"}, {"LPT:", "LPT_"},
#else
      {"a\\b?:*<>|\"", "a\\b?:*<>|\""}, {"CON", "CON"}, {"end.", "end."},
#endif
  };
  // clang-format on
  for (const auto& [name, want] : kNames) {
    EXPECT_EQ(IsValidFileName(name), !want.empty() && name == want) << name;
    EXPECT_EQ(want.empty() ? want : SanitizeFileName(name), want) << name;
  }
#ifndef _WIN32
  EXPECT_EQ(SanitizeFileName(std::string_view("a/\0b", 4)), "a__b");
#endif
}

TEST(ListingOrderTest, FilterOnTheWholeNameAndSortFoldedToUpperCase) {
  // clang-format off
  const std::tuple<std::string_view, std::string_view, bool> kMatches[] = {
      {"x.zip", "*.zip", true}, {"X.ZIP", "*.zip", true}, {".zip", "*.zip", true},
      {"zip", "*.zip", false}, {"a.zipx", "*.zip", false}, {"a", "*", true}, {"a.b", "*.*", true},
      {"Game.cxi", "game.CXI", true}, {"game.cx", "game.cxi", false},
      {"xame.cxi", "game.cxi", false}, {"", "", true}, {"a", "", false}};
  // clang-format on
  for (const auto& [name, pattern, want] : kMatches) {
    EXPECT_EQ(MatchesListPattern(name, pattern), want) << name << " " << pattern;
  }
  // '_' comes after the letters; a prefix first; ties by the raw bytes.
  std::vector<DirEntry> entries;
  for (const char* name : {"b", "_u", "z", "Ab", "a", "B", "A", "[", "@"}) {
    entries.push_back(DirEntry{name, false, false});
  }
  SortListing(&entries);
  std::string order;
  for (const DirEntry& e : entries) order += e.name + " ";
  EXPECT_EQ(order, "@ A a Ab B b z [ _u ");
}

TEST(DecimalTextTest, SignThenDigitsUpToAnyOtherByteWrappingModulo2To32) {
  // clang-format off
  const std::pair<const char*, uint32_t> kCases[] = {
      {"", 0}, {"x12", 0}, {"3rd", 3}, {"-3", 0xFFFFFFFDu}, {"+7", 7}, {" 7", 0}, {"65536", 65536},
      {"4294967295", 0xFFFFFFFFu}, {"4294967296", 0}, {"-1", 0xFFFFFFFFu}, {"09", 9}, {"/0", 0},
      {":", 0}};
  // clang-format on
  for (const auto& [text, value] : kCases) {
    EXPECT_EQ(static_cast<uint32_t>(StrToInt(text)), value) << text;
  }
}

// 2001-MONTH-DAY 04:05:SECOND as an MS-DOS date and time.
uint32_t Dos(int month, int day, int second) {
  return static_cast<uint32_t>((21 << 25) | (month << 21) | (day << 16) | (4 << 11) | (5 << 5) |
                               (second / 2));
}

TEST(RealEnvTest, DosTimesAreSetOrRefused) {
  test::TempDir dir;
  const std::string file = dir.Path("t.bin");
  test::WriteFile(file, "x");
  EXPECT_FALSE(RealEnv()->SetFileTimesFromDos(file, Dos(13, 1, 0)).ok());
  EXPECT_FALSE(RealEnv()->SetFileTimesFromDos(dir.Path("none.bin"), Dos(1, 1, 0)).ok());
#ifndef _WIN32
  for (const uint32_t invalid : {Dos(0, 1, 0), Dos(1, 0, 0), Dos(1, 1, 60)}) {
    EXPECT_FALSE(RealEnv()->SetFileTimesFromDos(file, invalid).ok()) << invalid;
  }
  test::ScopedTimeZone utc("UTC");  // only here can the zone be fixed
  ASSERT_TRUE(RealEnv()->SetFileTimesFromDos(file, Dos(2, 3, 6)).ok());
  const auto written = std::chrono::file_clock::to_sys(std::filesystem::last_write_time(file));
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(written.time_since_epoch()).count(),
            981173106);
#endif
}

}  // namespace
}  // namespace cartidex
