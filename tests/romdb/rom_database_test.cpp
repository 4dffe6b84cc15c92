#include "romdb/rom_database.h"

#include <gtest/gtest.h>

#include <random>

namespace cartidex {
namespace {

struct Hit {
  bool found;
  uint32_t index;
};

void AddRom(RomDatabase* db, std::string_view name, std::string_view system, uint32_t crc,
            uint32_t size) {
  const ParsedRom rom{name, size, crc};
  ASSERT_EQ(db->AddSet("s.zip", std::span(&rom, 1), system), nullptr);
}

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
      AddRom(&db, "r", "S", key.first, key.second);
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
      AddRom(&db, "r", "S", key.first, key.second);
      // Lookups in the middle of a load see the entries added so far.
      if (rng() % 997 == 0) check(20);
    }
    check(2000);
  }
}

}  // namespace
}  // namespace cartidex
