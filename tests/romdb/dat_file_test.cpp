#include "romdb/dat_file.h"

#include <gtest/gtest.h>

#include <string>

#include "romdb/rom_database.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

DatRomFields Rom(std::string_view name, std::string_view size = "16",
                 std::string_view crc = "0000ABCD") {
  DatRomFields f;
  f.name = name;
  f.size = size;
  f.crc = crc;
  return f;
}

TEST(DatFileTest, OneSetPerGameNamedExactlyWithItsKeptRoms) {
  test::TestHome home;
  DatFile dat;
  dat.SetSystem("Arcade", 2);
  dat.BeginGame("Super Game (Rev 1.1)", 5);
  dat.AddRom(Rom("a.1", "0x10", "0000000A"));
  DatRomFields nodump = Rom("prom");
  nodump.nodump = true;
  dat.AddRom(nodump);
  DatRomFields no_crc = Rom("nocrc");
  no_crc.crc.reset();
  dat.AddRom(no_crc);
  dat.AddRom(Rom("", "1", "00000001"));  // an empty name counts as none
  dat.AddRom(Rom("b.2", "32", "0000000b"));
  dat.BeginGame("Only Nodumps", 9);
  dat.AddRom(nodump);
  dat.BeginGame("Second", 12);
  dat.AddRom(Rom("c.3"));

  RomDatabase& db = Database();
  AddDatFile(dat, &db);
  EXPECT_EQ(home.Log(), "");
  ASSERT_EQ(db.GetSetCount(), 2u);
  ASSERT_EQ(db.GetRomCount(), 3u);
  EXPECT_EQ(db.GetSet(0).archive_name, "Super Game (Rev 1.1).zip");
  EXPECT_EQ(db.GetSet(0).display_name, "Super Game (Rev 1.1).zip");
  const std::span<const int32_t> roms = db.GetSet(0).rom_indices;
  EXPECT_EQ(std::vector<int32_t>(roms.begin(), roms.end()), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(db.GetSet(1).archive_name, "Second.zip");
  RomRecord b = db.GetRom(1);
  EXPECT_EQ(b.name, "b.2");
  EXPECT_EQ(b.system, "Arcade");
  EXPECT_EQ(b.crc, 0xBu);
  EXPECT_EQ(b.size, 32u);
  EXPECT_EQ(b.set_index, 0);
  EXPECT_EQ(b.slot, 1);
  EXPECT_EQ(db.GetRom(0).size, 16u);
}

TEST(DatFileTest, RefusedGamesAreLoggedWithTheirFirstLine) {
  test::TestHome home;
  DatFile dat;
  dat.SetSystem(std::string(128, 'S'), 3);  // too long: refused, "Unknown" stays
  // The DatFile holds views: the texts live as long as it.
  const std::string name123(123, 'n');
  const std::string name124 = name123 + "x";
  const std::string rom128(128, 'r');
  dat.BeginGame(name123, 10);  // 123 + ".zip" = 127: fits
  dat.AddRom(Rom("fits"));
  dat.BeginGame(name124, 20);  // 128 with ".zip"
  dat.AddRom(Rom("r"));
  dat.BeginGame("long rom", 30);
  dat.AddRom(Rom(rom128));
  dat.BeginGame("bad", 40);
  dat.AddRom(Rom("r", "16", "ABCD"));
  dat.BeginGame("bad and too many", 50);
  for (int i = 0; i < 129; ++i) dat.AddRom(Rom("r", i == 0 ? "x" : "1"));
  dat.BeginGame("most", 60);
  for (int i = 0; i < 128; ++i) dat.AddRom(Rom("r"));
  dat.BeginGame("", 70);
  dat.AddRom(Rom("unnamed"));
  dat.BeginGame("", 80);  // no name and no ROM: nothing to say

  RomDatabase& db = Database();
  AddDatFile(dat, &db);
  EXPECT_EQ(home.Log(),
            " ! Line 3 skipped: text too long\r\n"
            " ! Line 20 skipped: text too long\r\n"
            " ! Line 30 skipped: text too long\r\n"
            " ! Line 40 skipped: bad number\r\n"
            " ! Line 50 skipped: too many roms\r\n"
            " ! Line 70 skipped: missing fields\r\n");
  ASSERT_EQ(db.GetSetCount(), 2u);
  EXPECT_EQ(db.GetSet(0).archive_name, name123 + ".zip");
  EXPECT_EQ(db.GetSet(1).rom_count(), 128);
  EXPECT_EQ(db.GetRomCount(), 129u);
  EXPECT_EQ(db.GetRom(0).system, "Unknown");
}

TEST(DatFileTest, AFullRomTableRefusesOnlyTheGamesThatDoNotFit) {
  test::TestHome home;
  RomDatabase& db = Database();
  std::vector<ParsedRom> filler(kMaxRomsPerSet, ParsedRom{"x", 1, 1});
  for (uint32_t i = 0; i < (kMaxRoms - 2) / kMaxRomsPerSet; ++i) db.AddSet("f", filler, "S");
  db.AddSet("f", std::span(filler).first((kMaxRoms - 2) % kMaxRomsPerSet), "S");
  const uint32_t sets_before = db.GetSetCount();
  DatFile dat;
  dat.BeginGame("three", 4);
  for (int i = 0; i < 3; ++i) dat.AddRom(Rom("r"));
  dat.BeginGame("two", 8);
  for (int i = 0; i < 2; ++i) dat.AddRom(Rom("r"));
  AddDatFile(dat, &db);
  EXPECT_EQ(home.Log(), " ! Line 4 skipped: rom table full\r\n");
  EXPECT_EQ(db.GetRomCount(), kMaxRoms);
  ASSERT_EQ(db.GetSetCount(), sets_before + 1);
  EXPECT_EQ(db.GetSet(sets_before).archive_name, "two.zip");
}

}  // namespace
}  // namespace cartidex
