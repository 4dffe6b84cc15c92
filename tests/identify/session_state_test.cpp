#include "identify/session_state.h"

#include <gtest/gtest.h>

#include <vector>

#include "romdb/rom_database.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

// Sets of the given ROM counts, each ROM its own numbers.
void AddSets(const std::vector<int>& counts) {
  uint32_t crc = 1;
  for (size_t s = 0; s < counts.size(); ++s) {
    std::vector<ParsedRom> roms;
    for (int r = 0; r < counts[s]; ++r) roms.push_back({"r", 1, crc++});
    Database().AddSet("set" + std::to_string(s), roms, "S");
  }
}

TEST(SetTallyTest, CompleteSetsAreOwnedAndTheLargestLaterOneIsBest) {
  TestHome home;
  AddSets({2, 1, 2, 3});
  SessionState& s = Session();
  int32_t best = -7;
  EXPECT_FALSE(s.TallyBest(&best));
  EXPECT_EQ(best, -7);
  for (const int32_t set : {3, 2, 1, 0, 2, 0}) s.TallyAdd(set);  // set 0 completes after set 2
  ASSERT_TRUE(s.TallyBest(&best));
  EXPECT_EQ(best, 0);
  for (const int32_t set : {0, 1, 2}) EXPECT_TRUE(Database().GetSet(set).owned) << set;
  EXPECT_FALSE(Database().GetSet(3).owned);
  ASSERT_EQ(s.tally.entries.size(), 4u);
  EXPECT_EQ(s.tally.entries[0].set_index, 3);
  EXPECT_EQ(s.tally.entries[0].roms_needed, 3);
  EXPECT_EQ(s.tally.entries[1].roms_matched, 2);
}

TEST(SetTallyTest, GrowsBeyondTwoHundredSixtySets) {
  TestHome home;
  AddSets(std::vector<int>(1000, 1));
  SessionState& s = Session();
  for (int32_t i = 999; i >= 0; --i) s.TallyAdd(i);
  s.TallyAdd(500);
  ASSERT_EQ(s.tally.entries.size(), 1000u);
  EXPECT_EQ(s.tally.entries[499].roms_matched, 2);
  int32_t best = -1;
  ASSERT_TRUE(s.TallyBest(&best));
  EXPECT_EQ(best, 0);  // the last entry of equal size
}

}  // namespace
}  // namespace cartidex::test
