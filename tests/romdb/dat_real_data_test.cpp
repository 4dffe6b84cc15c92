// The DATs that collectors really have (from public collections) and two of our own with names
// beyond ASCII, loaded once: counts, systems, the one refusal, lookups, and the same tables again
// from the own format.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "romdb/cxi_reader.h"
#include "romdb/datafile_loader.h"
#include "romdb/describe.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

// The own-format datafile that says what `db` holds, set for set.
std::string ToOwnFormat(const RomDatabase& db) {
  std::string out, system = "Unknown";
  char hex[9];
  for (uint32_t s = 0; s < db.GetSetCount(); ++s) {
    const SetRecord set = db.GetSet(s);
    std::string names(set.archive_name), sizes, crcs;
    for (const int32_t r : set.rom_indices) {
      const RomRecord rom = db.GetRom(static_cast<uint32_t>(r));
      EXPECT_EQ(rom.name.find_first_of(":;\r\n"), std::string::npos) << rom.name;
      if (rom.system != system) out += "#console#;" + (system = rom.system) + "\r\n";
      std::snprintf(hex, sizeof hex, "%08X", rom.crc);
      names += ":" + rom.name;
      sizes += ":" + std::to_string(rom.size);
      crcs += std::string(":") + hex;
    }
    out += names + ";" + sizes + ";" + crcs + "\r\n";
  }
  return out;
}

RomRecord Find(uint32_t crc, uint32_t size, uint32_t* index) {
  bool found = false;
  return Database().FindRom(crc, size, &found, index);
}

TEST(DatRealDataTest, CountsSystemsRefusalsLookupsAndTheOwnFormatAgain) {
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
  EXPECT_EQ(db.RomSystem(0), "Atari - 2600");
  EXPECT_EQ(db.RomSystem(atari), "MAME");
  EXPECT_EQ(db.RomSystem(atari + mame_roms), "Nintendo - Game Boy");
  EXPECT_EQ(db.RomSystem(db.GetRomCount() - 1), "NEC PC-Engine cartridges");
  EXPECT_EQ(db.GetSet(atari).display_name, "005.zip");
  EXPECT_EQ(db.GetSet(atari).rom_count(), 22);

  // A file forged to an entry's CRC-32 and size is that entry; names keep their dots.
  uint32_t index = 0;
  const std::string forged = test::ForgeCrc(std::string(4092, 'A'), 0x515FA592);
  RomRecord r = Find(test::Crc32(forged), static_cast<uint32_t>(forged.size()), &index);
  EXPECT_EQ(r.name, "Amoeba Jump (World) (v1.1) (NTSC) (Aftermarket) (Unl).a26");
  EXPECT_EQ(db.GetSet(static_cast<uint32_t>(r.set_index)).display_name,
            "Amoeba Jump (World) (v1.1).zip");
  index = 0;
  r = Find(0x6069C5E7, 262144, &index);  // an entity in a software list's ROM name
  EXPECT_EQ(r.name + "@" + r.system, "kato chan & ken chan (japan).pce@NEC PC-Engine cartridges");
  index = 0;
  r = Find(0x5E8E2C21, 0x1FFDC, &index);
  EXPECT_EQ(r.name + "@" + r.system,
            "\xE3\x82\xA4\xE3\x83\xBC\xE3\x82\xB9.fds@Famicom Disk System (\xE3\x83\x87\xE3\x82"
            "\xA3\xE3\x82\xB9\xE3\x82\xAF\xE3\x82\xB7\xE3\x82\xB9\xE3\x83\x86\xE3\x83\xA0)");

  // A ROM that several MAME sets hold: each of them in turn, then round again.
  std::vector<std::string> holders;
  index = 0;
  for (int i = 0; i < 50; ++i) {
    r = Find(0x2FC650BD, 32, &index);
    const std::string holder =
        std::string(db.GetSet(static_cast<uint32_t>(r.set_index)).display_name) + "/" + r.name;
    if (!holders.empty() && holder == holders.front()) break;
    holders.push_back(holder);
  }
  EXPECT_NE(std::find(holders.begin(), holders.end(), "pacman.zip/82s123.7f"), holders.end());
  EXPECT_NE(std::find(holders.begin(), holders.end(), "puckman.zip/82s123.7f"), holders.end());

  // The own format gives the same tables.
  const std::string tables = Describe(db);
  const std::string own = ToOwnFormat(db);
  RomDatabase again;
  ParseOwnDatafile(own, &again);
  EXPECT_TRUE(Describe(again) == tables);
}

}  // namespace
}  // namespace cartidex
