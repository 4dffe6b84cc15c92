// Datafiles from anywhere: huge lines, binary garbage and more sets than the table holds, each
// loaded the way start-up loads it. The database keeps exactly the lines that fit, and the log
// names every line refused.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/activity_log.h"
#include "romdb/datafile_loader.h"
#include "romdb/describe.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

using namespace std::string_literals;

// Loads the datafiles of `home` and returns the log's lines after "Loading datafiles :".
std::string LoadAll(const test::TestHome& home) {
  LoadDatafiles();
  const std::string log = home.Log();
  EXPECT_TRUE(log.starts_with("Loading datafiles :\r\n")) << log.substr(0, 200);
  return log.substr(21);
}

bool Finds(uint32_t crc, uint32_t size) {
  bool found = false;
  uint32_t index = 0;
  Database().FindRom(crc, size, &found, &index);
  return found;
}

TEST(HostileDatafileTest, TenMegabyteLinesAreRefusedOrPassedOverAndTheRestLoads) {
  test::TestHome home;
  const std::string huge(10 << 20, 'n');
  home.AddDatafile("huge.cxi", "#console#;Sys\r\nKeep.bin;1;1\r\n" +                     // 1, 2
                                   huge + ".bin;1;1\r\n" +                               // 3
                                   huge + "\r\n" +                                       // 4
                                   "Colons" + std::string(10 << 20, ':') + ";1;1\r\n" +  // 5
                                   "#console#;" + huge + "\r\n" +                        // 6
                                   "Semis" + std::string(10 << 20, ';') + "\r\n" +       // 7
                                   "After.bin;3;3\r\n");                                 // 8
  EXPECT_EQ(LoadAll(home),
            " - huge.cxi\r\n ! Line 3 skipped: text too long\r\n"
            " ! Line 5 skipped: too many roms\r\n ! Line 6 skipped: text too long\r\n");
  EXPECT_EQ(Describe(Database()),
            "[Keep.zip Keep.bin@Sys=1/00000001][Semis.zip Semis@Sys=0/00000000]"
            "[After.zip After.bin@Sys=3/00000003]");
}

TEST(HostileDatafileTest, BinaryGarbageSpoilsNoValidLineAndLeavesTheTablesWhole) {
  test::TestHome home;
  // Any byte but NUL, from a fixed generator: sets of garbage may be added or refused, but the
  // lines after it load as written and every ROM belongs to the set and slot that hold it.
  std::mt19937 gen(99);
  std::string garbage;
  while (garbage.size() < (1 << 20)) garbage += static_cast<char>(gen() % 255 + 1);
  home.AddDatafile("b.cxi", garbage + "\r\n#console#;Tail\r\nTail.bin;7;ABC\r\n");
  // A NUL where a line begins ends the file: a zip renamed to .cxi loads nothing.
  home.AddDatafile("c.cxi", "PK\x03\x04\x14\x00\x00\x00\x08\x00Zip.bin;99;F00D\r\n"s);
  const std::string log = LoadAll(home);
  EXPECT_TRUE(log.starts_with(" - b.cxi\r\n ! Line ") && log.ends_with(" - c.cxi\r\n"));
  const RomDatabase& db = Database();
  for (uint32_t s = 0; s < db.GetSetCount(); ++s) {
    const SetRecord set = db.GetSet(s);
    for (int32_t slot = 0; slot < set.rom_count(); ++slot) {
      const RomRecord rom = db.GetRom(static_cast<uint32_t>(set.rom_indices[slot]));
      ASSERT_TRUE(rom.set_index == static_cast<int32_t>(s) && rom.slot == slot);
    }
  }
  EXPECT_TRUE(Describe(db).ends_with("[Tail.zip Tail.bin@Tail=7/00000ABC]"));
  EXPECT_FALSE(Finds(0xF00D, 99));
}

TEST(HostileDatafileTest, SeventyThousandSetsFillTheTableAndTheRestAreNamed) {
  test::TestHome home;
  // a.cxi: 40,000 sets, each under a system of its own; b.cxi: 30,000 more under one system.
  std::string a, b = "#console#;B\r\n";
  for (int i = 0; i < 40000; ++i) {
    a += "#console#;System " + std::to_string(i) + "\r\nA" + std::to_string(i) + ".bin;1;" +
         std::to_string(i) + "\r\n";
  }
  for (int i = 0; i < 30000; ++i)
    b += "B" + std::to_string(i) + ".bin;2;" + std::to_string(i) + "\r\n";
  home.AddDatafile("a.cxi", a);
  home.AddDatafile("b.cxi", b);
  std::string want = " - a.cxi\r\n - b.cxi\r\n";
  // b.cxi's set i is on line i + 2; sets 25536 and later find the table full.
  for (int i = 25536; i < 30000; ++i) {
    want += " ! Line " + std::to_string(i + 2) + " skipped: set table full\r\n";
  }
  for (int load = 0; load < 2; ++load) {  // a reload starts from empty tables
    DeleteLog();
    EXPECT_EQ(LoadAll(home), want);
    const RomDatabase& db = Database();
    EXPECT_EQ(db.GetSetCount(), kMaxSets);
    EXPECT_EQ(db.GetRom(39999).system, "System 39999");
    EXPECT_EQ(db.GetSet(kMaxSets - 1).display_name, "B25535.zip");
    EXPECT_EQ(db.GetRom(kMaxSets - 1).system, "B");
    EXPECT_TRUE(Finds(0x25535, 2));
    EXPECT_FALSE(Finds(0x25536, 2));
  }
}

}  // namespace
}  // namespace cartidex
