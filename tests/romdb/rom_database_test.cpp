#include "romdb/rom_database.h"

#include <gtest/gtest.h>

#include <random>

namespace cartidex {
namespace {

struct Hit {
  bool found;
  uint32_t index;
};

Hit Find(const RomDatabase& db, uint32_t crc, uint32_t size, uint32_t from) {
  bool found = false;
  uint32_t index = from;
  db.FindRom(crc, size, &found, &index);
  return {found, index};
}

TEST(RomDatabaseTest, NoMatchGivesTheDefaultRecordAndKeepsTheIndex) {
  RomDatabase db;
  bool found = true;
  uint32_t index = 7;
  RomRecord r = db.FindRom(1, 2, &found, &index);
  EXPECT_FALSE(found);
  EXPECT_EQ(index, 7u);
  EXPECT_EQ(r.name, "Unknown");
  EXPECT_EQ(r.system, "Unknown");
  EXPECT_EQ(r.crc, 0u);
  EXPECT_EQ(r.size, 0u);
}

// The index must give exactly the visiting order of a plain walk round the table: with all
// entries in one bucket of the index (CRC-32s 0-3), and spread over many small buckets that
// still hold duplicates.
TEST(RomDatabaseTest, IndexMatchesALinearWalkOnRandomTables) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 40; ++round) {
    RomDatabase db;
    std::vector<std::pair<uint32_t, uint32_t>> keys;
    uint32_t n = 1 + rng() % 300;
    std::vector<uint32_t> crcs = {0, 1, 2, 3};
    if (round % 2 == 1) {
      crcs.clear();
      for (uint32_t i = 0; i < n / 3 + 1; ++i) crcs.push_back(static_cast<uint32_t>(rng()));
    }
    for (uint32_t i = 0; i < n; ++i) {
      std::pair<uint32_t, uint32_t> key(crcs[rng() % crcs.size()], 10 + rng() % 3);
      keys.push_back(key);
      db.AddRom("r", "S", key.first, key.second);
    }
    auto reference = [&](uint32_t crc, uint32_t size, uint32_t k) -> Hit {
      std::vector<uint32_t> order;
      if (k == 0) {
        for (uint32_t i = 1; i < n; ++i) order.push_back(i);
        order.push_back(0);
      } else {
        for (uint32_t i = k + 1; i < n; ++i) order.push_back(i);
        for (uint32_t i = 0; i < k; ++i) order.push_back(i);
      }
      for (uint32_t i : order) {
        if (keys[i].first == crc && keys[i].second == size) return {true, i};
      }
      return {false, k};
    };
    for (int q = 0; q < 200; ++q) {
      uint32_t crc = q % 4 == 0 ? static_cast<uint32_t>(rng()) : crcs[rng() % crcs.size()];
      uint32_t size = 10 + rng() % 4, k = rng() % n;
      Hit want = reference(crc, size, k);
      Hit got = Find(db, crc, size, k);
      ASSERT_EQ(got.found, want.found) << "crc " << crc << " size " << size << " from " << k;
      ASSERT_EQ(got.index, want.index);
    }
  }
}

// The same, on one database that is loaded again and again (as "Reload all" does), with tables
// large enough to spread over many buckets of the index, CRC-32s that differ only in their low
// bits or only in their high bits, lookups between additions, and loads smaller than the one
// before (whose left-over entries must never be found).
TEST(RomDatabaseTest, IndexFollowsEveryReloadAndAddition) {
  std::mt19937 rng(777);
  RomDatabase db;
  for (int load = 0; load < 12; ++load) {
    db.Clear();
    std::vector<uint32_t> pool;
    for (int i = 0; i < 6; ++i) pool.push_back(static_cast<uint32_t>(rng()));
    pool.push_back(pool[0] ^ 1u);           // same bucket as pool[0]
    pool.push_back(pool[0] ^ 0x80000000u);  // far from it
    std::vector<std::pair<uint32_t, uint32_t>> keys;
    const uint32_t target = load % 3 == 0 ? 20000 : 1 + rng() % 3000;
    auto reference = [&](uint32_t crc, uint32_t size, uint32_t k) -> Hit {
      const uint32_t n = static_cast<uint32_t>(keys.size());
      for (uint32_t step = 1; step <= n; ++step) {
        uint32_t i = (k + step) % n;
        if (i == k && k != 0) break;  // entry k itself only when it is 0
        if (keys[i].first == crc && keys[i].second == size) return {true, i};
      }
      return {false, k};
    };
    auto check = [&](int queries) {
      for (int q = 0; q < queries; ++q) {
        const uint32_t crc =
            rng() % 8 == 0 ? static_cast<uint32_t>(rng()) : pool[rng() % pool.size()];
        const uint32_t size = 1 + rng() % 3;
        const uint32_t k = rng() % static_cast<uint32_t>(keys.size());
        const Hit want = reference(crc, size, k);
        const Hit got = Find(db, crc, size, k);
        ASSERT_EQ(got.found, want.found) << "load " << load << " crc " << crc << " from " << k;
        ASSERT_EQ(got.index, want.index) << "load " << load << " crc " << crc << " from " << k;
      }
    };
    while (keys.size() < target) {
      const std::pair<uint32_t, uint32_t> key(pool[rng() % pool.size()], 1 + rng() % 2);
      keys.push_back(key);
      db.AddRom("r", "S", key.first, key.second);
      // Lookups in the middle of a load see the entries added so far.
      if (rng() % 997 == 0) check(20);
    }
    check(2000);
  }
}

// A reload fills the set records of the previous load in place: nothing of their flags may
// survive it, and sets past the new count stay out of reach.
TEST(RomDatabaseTest, ReloadStartsEverySetAfreshAndFlagsStayWithinTheLoad) {
  RomDatabase db;
  for (uint32_t i = 0; i < 3; ++i) db.AddRom("r", "S", i, 1);
  const int32_t pair[] = {0, 1, -50};
  const int32_t one[] = {2, -50};
  db.AddSet("A", pair);
  db.AddSet("B", one);
  EXPECT_TRUE(db.MarkRomFound(0, 1));
  EXPECT_TRUE(db.MarkRomFound(1, 0));
  db.MarkSetOwned(0, true);
  db.MarkSetOwned(1, true);

  db.Clear();
  db.AddRom("x", "S", 5, 1);
  const int32_t single[] = {0, -50};
  EXPECT_EQ(db.AddSet("C", single), 0u);
  EXPECT_EQ(db.GetSetCount(), 1u);
  const SetRecord& set = db.GetSet(0);
  EXPECT_EQ(set.display_name, "C.zip");
  ASSERT_EQ(set.rom_count(), 1);
  EXPECT_EQ(set.rom_indices[0], 0);
  EXPECT_EQ(set.found[0], 0);
  EXPECT_FALSE(set.owned);
  // Flags stay within the loaded sets and slots; clearing the found flags keeps ownership.
  bool newly = false;
  EXPECT_FALSE(db.MarkRomFound(1, 0, &newly));  // set == set count
  EXPECT_FALSE(db.MarkRomFound(0, 1, &newly));  // slot == ROM count
  EXPECT_TRUE(db.MarkRomFound(0, 0, &newly));
  EXPECT_TRUE(newly);
  EXPECT_TRUE(db.MarkRomFound(0, 0, &newly));
  EXPECT_FALSE(newly);
  db.MarkSetOwned(0, true);
  db.MarkSetOwned(5, true);
  db.ClearFoundFlags();
  EXPECT_EQ(db.GetSet(0).found[0], 0);
  EXPECT_TRUE(db.GetSet(0).owned);
}

// A load taken back: the tables, the lookups and the found flags are as they were before it,
// and what is added next takes the places it left.
TEST(RomDatabaseTest, RewindDropsWhatWasAddedSince) {
  RomDatabase db;
  db.AddRom("first", "S", 7, 10);
  const int32_t a[] = {0, -50};
  db.AddSet("A", a);
  EXPECT_TRUE(db.MarkRomFound(0, 0));
  const RomDatabase::Extent extent = db.GetExtent();

  db.AddRom("dropped", "T", 7, 10);
  const int32_t b[] = {1, -50};
  db.AddSet("Dropped", b);
  EXPECT_TRUE(db.MarkRomFound(1, 0));
  EXPECT_EQ(Find(db, 7, 10, 0).index, 1u);
  db.Rewind(extent);

  EXPECT_EQ(db.GetRomCount(), 1u);
  EXPECT_EQ(db.GetSetCount(), 1u);
  EXPECT_TRUE(Find(db, 7, 10, 0).found);
  EXPECT_EQ(Find(db, 7, 10, 0).index, 0u);
  EXPECT_EQ(db.GetSet(0).found[0], 1);
  db.AddRom("next", "S", 8, 1);
  const int32_t c[] = {1, -50};
  EXPECT_EQ(db.AddSet("C", c), 1u);
  EXPECT_EQ(db.GetRom(1).name, "next");
  EXPECT_EQ(db.GetSet(1).display_name, "C.zip");
  EXPECT_EQ(db.GetSet(1).found[0], 0);
  db.ClearFoundFlags();
  EXPECT_EQ(db.GetSet(0).found[0], 0);
  EXPECT_EQ(Find(db, 7, 10, 0).index, 0u);
}

// The stem is the name cut at its last '.', wherever it falls among the bytes read at once and
// beside bytes that differ from '.' only in the top bit.
TEST(RomDatabaseTest, SetNameStemCutsAtTheLastDot) {
  std::mt19937 rng(5);
  const std::string bytes("..a\xAE\x2E\xFFz\0", 8);
  for (int round = 0; round < 5000; ++round) {
    std::string name;
    const size_t size = rng() % 40;
    for (size_t i = 0; i < size; ++i) name += bytes[rng() % bytes.size()];
    const size_t dot = name.rfind('.');
    const std::string want = dot == std::string::npos ? name : name.substr(0, dot);
    ASSERT_EQ(SetNameStem(name), want) << "name of " << size << " bytes";
    ASSERT_EQ(FormSetName(name), want + ".zip");
  }
}

TEST(RomDatabaseTest, AddSetNamesAndLinksItsRoms) {
  RomDatabase db;
  db.AddRom("a", "S", 1, 1);
  db.AddRom("b", "S", 2, 2);
  const int32_t list[] = {1, 0, -50, 1};
  EXPECT_EQ(db.AddSet("Pair", list), 0u);
  const SetRecord& set = db.GetSet(0);
  EXPECT_EQ(set.rom_count(), 2);
  EXPECT_EQ(set.archive_name, "Pair.zip");
  EXPECT_EQ(set.display_name, "Pair.zip");
  EXPECT_EQ(db.GetRom(1).slot, 0);
  EXPECT_EQ(db.GetRom(0).slot, 1);
  EXPECT_EQ(db.GetRom(0).set_index, 0);

  const int32_t empty[] = {-50};
  EXPECT_EQ(db.AddSet("None", empty), 1u);
  EXPECT_EQ(db.GetSet(1).rom_count(), 0);
}

TEST(RomDatabaseTest, FullTablesRefuseInsteadOfOverwriting) {
  RomDatabase db;
  for (uint32_t i = 0; i < kMaxRoms; ++i) ASSERT_EQ(db.AddRom("r", "S", i, 1), i);
  EXPECT_EQ(db.AddRom("last", "S", 7, 7), kNoIndex);
  EXPECT_EQ(db.GetRomCount(), kMaxRoms);
  EXPECT_EQ(db.GetRom(kMaxRoms - 1).crc, kMaxRoms - 1);
  EXPECT_EQ(db.AddRom(std::string(128, 'n'), "S", 1, 1), kNoIndex);
}

}  // namespace
}  // namespace cartidex
