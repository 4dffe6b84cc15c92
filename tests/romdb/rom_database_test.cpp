#include "romdb/rom_database.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace cartidex {
namespace {

using Key = std::pair<uint32_t, uint32_t>;  // CRC-32 and size

// Adds a set of one ROM for each key.
void AddRoms(RomDatabase* db, const std::vector<Key>& keys) {
  for (const auto& [crc, size] : keys) {
    const ParsedRom rom{"r", size, crc};
    ASSERT_EQ(db->AddSet("s.zip", std::span(&rom, 1), "S"), nullptr);
  }
}

struct Hit {
  bool found;
  uint32_t index;
  bool operator==(const Hit&) const = default;
};

Hit Find(const RomDatabase& db, Key key, uint32_t from) {
  Hit hit{true, from};
  db.FindRom(key.first, key.second, &hit.found, &hit.index);
  return hit;
}

// The plain walk round the table that FindRom stands for.
Hit Walk(const std::vector<Key>& keys, Key key, uint32_t from) {
  const uint32_t n = static_cast<uint32_t>(keys.size());
  for (uint32_t step = 1; step <= n; ++step) {
    const uint32_t i = (from + step) % n;
    if (i == from && from != 0) break;  // entry `from` itself only when it is 0
    if (keys[i] == key) return {true, i};
  }
  return {false, from};
}

TEST(RomDatabaseTest, FindRomWalksRoundTheTableFromTheEntryAfterItsIndex) {
  const Key x{7, 10}, o{1, 1};
  const struct {
    std::vector<Key> table;
    uint32_t from;
    Hit want;
  } kCases[] = {
      {{o, x, o, x, o}, 0, {true, 1}},
      {{o, x, o, x, o}, 1, {true, 3}},
      {{o, x, o, x, o}, 3, {true, 1}},
      {{x, o, o}, 0, {true, 0}},
      {{o, o, x}, 0, {true, 2}},
      {{o, o, x}, 2, {false, 2}},
      {{x, o, o, o, x}, 0, {true, 4}},
      {{o, {7, 11}, {8, 10}}, 0, {false, 0}},
      {{}, 5, {false, 5}},
  };
  for (const auto& c : kCases) {
    RomDatabase db;
    AddRoms(&db, c.table);
    EXPECT_EQ(Find(db, x, c.from), c.want) << c.table.size() << " entries, from " << c.from;
  }
  RomDatabase empty;
  bool found = true;
  uint32_t index = 3;
  const RomRecord none = empty.FindRom(7, 10, &found, &index);
  EXPECT_EQ(none.name, "Unknown");
  EXPECT_EQ(none.system, "Unknown");
  EXPECT_EQ(none.crc + none.size + static_cast<uint32_t>(none.set_index + none.slot), 0u);
}

// Tables small and large, reloaded in place and searched between additions; CRC-32s that
// differ in their low bits only or in their top bit only, and loads smaller than the one before,
// whose left-over entries must never be found.
TEST(RomDatabaseTest, FindRomAgreesWithAWalkRoundTheTable) {
  std::mt19937 rng(777);
  RomDatabase db;
  for (int load = 0; load < 12; ++load) {
    db.Clear();
    std::vector<uint32_t> pool;
    for (int i = 0; i < 6; ++i) pool.push_back(static_cast<uint32_t>(rng()));
    pool.push_back(pool[0] ^ 1u);
    pool.push_back(pool[0] ^ 0x80000000u);
    std::vector<Key> keys;
    auto check = [&](int queries) {
      for (int q = 0; q < queries; ++q) {
        const Key key(rng() % 8 == 0 ? static_cast<uint32_t>(rng()) : pool[rng() % pool.size()],
                      1 + rng() % 3);
        const uint32_t from = rng() % static_cast<uint32_t>(keys.size());
        ASSERT_EQ(Find(db, key, from), Walk(keys, key, from)) << "load " << load;
      }
    };
    const size_t target = load % 3 == 0 ? 20000 : 1 + rng() % 3000;
    while (keys.size() < target) {
      keys.emplace_back(pool[rng() % pool.size()], 1 + rng() % 2);
      AddRoms(&db, {keys.back()});
      if (rng() % 997 == 0) check(20);
    }
    check(2000);
  }
}

TEST(RomDatabaseTest, AddSetAddsASetWithItsRomsOrNothingAndSaysWhy) {
  RomDatabase db;
  const std::string long_text(128, 'x'), most(127, 'x');
  const std::vector<ParsedRom> pair = {{"a", 1, 0xA}, {"b", 2, 0xB}};
  const std::vector<ParsedRom> too_many(129, ParsedRom{long_text, 1, 1});
  const std::vector<ParsedRom> long_name = {{"a", 1, 1}, {long_text, 1, 1}};
  const struct {
    std::string set;
    std::vector<ParsedRom> roms;
    std::string system;
    const char* want;
  } kCases[] = {
      {"Pair.zip", pair, "Sys", nullptr},        {long_text, too_many, long_text, kTooManyRoms},
      {"S.zip", pair, long_text, kTextTooLong},  {long_text, pair, "Sys", kTextTooLong},
      {"S.zip", long_name, "Sys", kTextTooLong}, {most, {{most, 3, 3}}, most, nullptr},
      {"Empty.zip", {}, "Never named", nullptr},
  };
  for (const auto& c : kCases) {
    const uint32_t roms = db.GetRomCount(), sets = db.GetSetCount();
    EXPECT_EQ(db.AddSet(c.set, c.roms, c.system), c.want) << c.set.substr(0, 10);
    EXPECT_EQ(db.GetRomCount(), roms + (c.want ? 0 : c.roms.size()));
    EXPECT_EQ(db.GetSetCount(), sets + (c.want ? 0 : 1));
  }
  ASSERT_EQ(db.GetSetCount(), 3u);
  const SetRecord set = db.GetSet(0);
  EXPECT_EQ(set.archive_name, "Pair.zip");
  EXPECT_EQ(set.display_name, "Pair.zip");
  EXPECT_EQ(std::vector<int32_t>(set.rom_indices.begin(), set.rom_indices.end()),
            (std::vector<int32_t>{0, 1}));
  const RomRecord b = db.GetRom(1);
  EXPECT_EQ(b.name + "@" + b.system, "b@Sys");
  EXPECT_EQ(b.crc + b.size, 0xBu + 2u);
  EXPECT_EQ(b.set_index, 0);
  EXPECT_EQ(b.slot, 1);
  EXPECT_EQ(db.GetRom(2).set_index, 1);
  EXPECT_EQ(db.GetSet(2).rom_count(), 0);

  // Full tables: the ROMs are tested first.
  const std::vector<ParsedRom> full_set(kMaxRomsPerSet, ParsedRom{"r", 1, 1});
  while (db.GetRomCount() + kMaxRomsPerSet <= kMaxRoms) db.AddSet("F.zip", full_set, "S");
  EXPECT_EQ(db.AddSet("F.zip", full_set, "S"), kRomTableFull);
  while (db.GetSetCount() < kMaxSets) db.AddSet("E.zip", {}, "S");
  EXPECT_EQ(db.AddSet("E.zip", {}, "S"), kSetTableFull);
  EXPECT_EQ(db.AddSet("F.zip", full_set, "S"), kRomTableFull);
}

TEST(RomDatabaseTest, FoundFlagsStayWithinTheLoadedSetsAndOwnedFlagsOutlastThem) {
  RomDatabase db;
  AddRoms(&db, {{1, 1}, {2, 2}});
  bool newly = false;
  EXPECT_FALSE(db.MarkRomFound(2, 0, &newly));  // set == set count
  EXPECT_FALSE(db.MarkRomFound(0, 1, &newly));  // slot == ROM count
  EXPECT_FALSE(db.MarkRomFound(-1, 0, &newly));
  EXPECT_TRUE(db.MarkRomFound(1, 0, &newly));
  EXPECT_TRUE(newly);
  EXPECT_TRUE(db.MarkRomFound(1, 0, &newly));
  EXPECT_FALSE(newly);
  db.MarkSetOwned(1, true);
  db.MarkSetOwned(2, true);  // out of range: nothing
  db.ClearFoundFlags();
  EXPECT_EQ(db.GetSet(1).found[0], 0);
  EXPECT_TRUE(db.GetSet(1).owned);
  EXPECT_FALSE(db.GetSet(0).owned);

  // A reload starts every set afresh.
  EXPECT_TRUE(db.MarkRomFound(1, 0));
  db.Clear();
  AddRoms(&db, {{3, 3}, {4, 4}});
  EXPECT_EQ(db.GetSet(1).found[0], 0);
  EXPECT_FALSE(db.GetSet(1).owned);
}

}  // namespace
}  // namespace cartidex
