// The DATs that collectors really have (from public collections) and two of our own with names
// beyond ASCII, loaded once: counts, systems, the one refusal and a lookup in each format.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

std::string Find(uint32_t crc, uint32_t size) {
  bool found = false;
  uint32_t index = 0;
  const RomRecord r = Database().FindRom(crc, size, &found, &index);
  return std::string(Database().GetSet(static_cast<uint32_t>(r.set_index)).display_name) + "/" +
         r.name + "@" + r.system;
}

TEST(DatRealDataTest, CountsSystemsRefusalsAndLookups) {
  const std::string shared = CARTIDEX_SHARED_DATA;
  if (!std::filesystem::exists(shared + "/pce.xml")) GTEST_SKIP() << "no shared data";
  test::TestHome home;
  for (const char* name :
       {"Atari - 2600.dat", "MAME 2000 XML.dat", "Nintendo - Game Boy.dat", "pce.xml"}) {
    home.AddDatafile(name, test::ReadFile(shared + "/" + name));
  }
  for (const char* name : {"non_ascii.dat", "non_ascii.xml"}) {
    home.AddDatafile(name, test::ReadFile(std::string(CARTIDEX_TEST_DATA) + "/dat/" + name));
  }
  LoadDatafiles();
  // One Game Boy game's name is 147 characters: refused whole at the line where it begins.
  EXPECT_EQ(home.Log(),
            "Loading datafiles :\r\n - Atari - 2600.dat\r\n - MAME 2000 XML.dat\r\n"
            " - Nintendo - Game Boy.dat\r\n ! Line 5231 skipped: text too long\r\n"
            " - non_ascii.dat\r\n - non_ascii.xml\r\n - pce.xml\r\n");
  const RomDatabase& db = Database();
  // Sets and ROMs per file, counted apart from this reader; the MAME DAT's 79 ROMs without a
  // dump are left out, its 10251 merged ROMs kept.
  const uint32_t atari = 905, mame_sets = 2241, mame_roms = 34143, game_boy = 2253;
  ASSERT_EQ(db.GetSetCount(), atari + mame_sets + game_boy + 4 + 324);
  ASSERT_EQ(db.GetRomCount(), atari + mame_roms + game_boy + 5 + 324);
  EXPECT_EQ(db.GetSet(atari + mame_sets + game_boy + 3).archive_name,
            "\xC3\x91"
            "and\xC3\xBA & Co..zip");
  EXPECT_EQ(db.RomSystem(atari), "MAME");
  EXPECT_EQ(db.RomSystem(atari + mame_roms), "Nintendo - Game Boy");
  EXPECT_EQ(db.GetSet(atari).rom_count(), 22);

  // A file forged to an entry's CRC-32 and size is that entry; names keep their dots.
  const std::string forged = test::ForgeCrc(std::string(4092, 'A'), 0x515FA592);
  EXPECT_EQ(Find(test::Crc32(forged), static_cast<uint32_t>(forged.size())),
            "Amoeba Jump (World) (v1.1).zip/"
            "Amoeba Jump (World) (v1.1) (NTSC) (Aftermarket) (Unl).a26@Atari - 2600");
  EXPECT_EQ(Find(0x2FC650BD, 32), "crush.zip/82s123.7f@MAME");  // the first of many holders
  EXPECT_EQ(Find(0x6069C5E7, 262144),  // an entity in a software list's ROM name
            "katochan.zip/kato chan & ken chan (japan).pce@NEC PC-Engine cartridges");
  EXPECT_EQ(
      Find(0x5E8E2C21, 0x1FFDC),
      "Ys \xE2\x85\xA0\xE2\x85\xA1 (Japan).zip/\xE3\x82\xA4\xE3\x83\xBC\xE3\x82\xB9.fds@Famicom "
      "Disk System (\xE3\x83\x87\xE3\x82"
      "\xA3\xE3\x82\xB9\xE3\x82\xAF\xE3\x82\xB7\xE3\x82\xB9\xE3\x83\x86\xE3\x83\xA0)");
}

}  // namespace
}  // namespace cartidex
