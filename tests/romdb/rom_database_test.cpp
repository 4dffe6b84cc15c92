#include "romdb/rom_database.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace cartidex {
namespace {

using Key = std::pair<uint32_t, uint32_t>;  // CRC-32 and size

void AddRoms(RomDatabase* db, const std::vector<Key>& keys) {
  for (const auto& [crc, size] : keys) {
    const ParsedRom rom{"r", size, crc};
    ASSERT_EQ(db->AddSet("s", std::span(&rom, 1), "S"), nullptr);
  }
}

// Where FindRom from `from` lands: {found, index}.
Key Find(const RomDatabase& db, Key key, uint32_t from) {
  bool found = false;
  db.FindRom(key.first, key.second, &found, &from);
  return {found, from};
}

TEST(RomDatabaseTest, FindRomWalksRoundTheTableFromTheEntryAfterItsIndex) {
  const Key x{7, 10}, o{1, 1};
  // clang-format off
  const struct {
    std::vector<Key> table;
    uint32_t from;
    Key want;  // found, index
  } kCases[] = {{{o, x, o, x, o}, 0, {1, 1}}, {{o, x, o, x, o}, 1, {1, 3}},
                {{o, x, o, x, o}, 3, {1, 1}}, {{x, o, o}, 0, {1, 0}}, {{o, o, x}, 0, {1, 2}},
                {{o, o, x}, 2, {0, 2}}, {{x, o, o, o, x}, 0, {1, 4}},
                {{o, {7, 11}, {8, 10}}, 0, {0, 0}}, {{}, 5, {0, 5}}};
  // clang-format on
  for (const auto& c : kCases) {
    RomDatabase db;
    AddRoms(&db, c.table);
    EXPECT_EQ(Find(db, x, c.from), c.want) << c.table.size() << " entries, from " << c.from;
  }
}

TEST(RomDatabaseTest, AddSetAddsASetWithItsRomsOrNothingAndSaysWhy) {
  RomDatabase db;
  const std::string over(128, 'x'), most(127, 'x'), name_over(124, 'n'), name_most(123, 'n');
  const std::vector<ParsedRom> pair = {{"a", 1, 0xA}, {"b", 2, 0xB}};
  const struct {
    std::string set;
    std::vector<ParsedRom> roms;
    std::string system;
    const char* want;
  } kCases[] = {
      {"Pair", pair, "Sys", nullptr},
      {name_over, std::vector<ParsedRom>(129, ParsedRom{over, 1, 1}), over, kTooManyRoms},
      {"S", pair, over, kTextTooLong},
      {name_over, pair, "Sys", kTextTooLong},  // 128 bytes with its ".zip"
      {"S", {{"a", 1, 1}, {over, 1, 1}}, "Sys", kTextTooLong},
      {name_most, {{most, 3, 3}}, most, nullptr},
      {"Empty", {}, "Sys", nullptr},
  };
  for (const auto& c : kCases) {
    const uint32_t roms = db.GetRomCount(), sets = db.GetSetCount();
    EXPECT_EQ(db.AddSet(c.set, c.roms, c.system), c.want) << c.set.substr(0, 10);
    EXPECT_EQ(db.GetRomCount() - roms, c.want ? 0 : c.roms.size());
    EXPECT_EQ(db.GetSetCount() - sets, c.want ? 0u : 1u);
  }
  // Full tables: the ROMs are tested first.
  const std::vector<ParsedRom> full(kMaxRomsPerSet, ParsedRom{"r", 1, 1});
  while (db.GetRomCount() + kMaxRomsPerSet <= kMaxRoms) db.AddSet("F", full, "S");
  EXPECT_EQ(db.AddSet("F", full, "S"), kRomTableFull);
  while (db.GetSetCount() < kMaxSets) db.AddSet("E", {}, "S");
  EXPECT_EQ(db.AddSet("E", {}, "S"), kSetTableFull);
  EXPECT_EQ(db.AddSet("F", full, "S"), kRomTableFull);
}

TEST(RomDatabaseTest, FoundFlagsStayWithinTheLoadedSetsAndOwnedFlagsOutlastThem) {
  RomDatabase db;
  AddRoms(&db, {{1, 1}, {2, 2}});
  bool newly = false;
  EXPECT_FALSE(db.MarkRomFound(2, 0, &newly));  // set == set count
  EXPECT_FALSE(db.MarkRomFound(0, 1, &newly));  // slot == ROM count
  EXPECT_FALSE(db.MarkRomFound(-1, 0, &newly));
  EXPECT_TRUE(db.MarkRomFound(1, 0, &newly) && newly);
  EXPECT_TRUE(db.MarkRomFound(1, 0, &newly) && !newly);
  db.MarkSetOwned(1, true);
  db.MarkSetOwned(2, true);  // out of range: nothing
  db.ClearFoundFlags();
  EXPECT_EQ(db.GetSet(1).found[0], 0);
  EXPECT_TRUE(db.GetSet(1).owned && !db.GetSet(0).owned);
  // A reload starts every set afresh.
  EXPECT_TRUE(db.MarkRomFound(1, 0));
  db.Clear();
  AddRoms(&db, {{3, 3}, {4, 4}});
  EXPECT_TRUE(db.GetSet(1).found[0] == 0 && !db.GetSet(1).owned);
}

}  // namespace
}  // namespace cartidex
