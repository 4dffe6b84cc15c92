// The DATs that collectors really have (from public collections), and two of our own with names
// beyond ASCII: counts, systems, refusals, lookups, and the same tables as the own format gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "romdb/dat_file.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

const char* const kRealDats[] = {"Atari - 2600.dat", "MAME 2000 XML.dat", "Nintendo - Game Boy.dat",
                                 "pce.xml"};
const char* const kOwnDats[] = {"non_ascii.dat", "non_ascii.xml"};

std::string SharedPath(std::string_view name) {
  return std::string(CARTIDEX_SHARED_DATA) + "/" + std::string(name);
}
std::string OurPath(std::string_view name) {
  return std::string(CARTIDEX_TEST_DATA) + "/dat/" + std::string(name);
}

class DatRealDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(SharedPath(kRealDats[0]))) GTEST_SKIP() << "no shared data";
  }

  void AddDat(const std::string& path) {
    home_.AddDatafile(std::filesystem::path(path).filename().string(), test::ReadFile(path));
  }

  test::TestHome home_;
};

TEST_F(DatRealDataTest, CountsSystemsTheOneRefusalAndLookups) {
  for (const char* name : kRealDats) AddDat(SharedPath(name));
  LoadDatafiles();
  // One Game Boy game's name is 147 characters: refused whole at the line where it begins.
  EXPECT_EQ(home_.Log(),
            "Loading datafiles :\r\n"
            " - Atari - 2600.dat\r\n"
            " - MAME 2000 XML.dat\r\n"
            " - Nintendo - Game Boy.dat\r\n"
            " ! Line 5231 skipped: text too long\r\n"
            " - pce.xml\r\n");
  const RomDatabase& db = Database();
  // Sets and ROMs per file, counted independently of this reader; the MAME DAT's 79 ROMs
  // without a dump are left out, its 10251 merged ROMs are kept.
  ASSERT_EQ(db.GetSetCount(), 905u + 2241u + 2253u + 324u);
  ASSERT_EQ(db.GetRomCount(), 905u + 34143u + 2253u + 324u);
  EXPECT_EQ(db.RomSystem(0), "Atari - 2600");
  EXPECT_EQ(db.RomSystem(904), "Atari - 2600");
  EXPECT_EQ(db.RomSystem(905), "MAME");
  EXPECT_EQ(db.RomSystem(905 + 34142), "MAME");
  EXPECT_EQ(db.RomSystem(905 + 34143), "Nintendo - Game Boy");
  EXPECT_EQ(db.RomSystem(db.GetRomCount() - 1), "NEC PC-Engine cartridges");
  EXPECT_EQ(db.GetSet(905).display_name, "005.zip");
  EXPECT_EQ(db.GetSet(905).rom_count(), 22);  // the first MAME game
  std::set<std::string> names;
  for (uint32_t s = 0; s < db.GetSetCount(); ++s) names.emplace(db.GetSet(s).archive_name);
  // Names with dots keep them: the set is the game's name and ".zip".
  EXPECT_TRUE(names.count("Amoeba Jump (World) (v1.1).zip"));
  EXPECT_TRUE(names.count("A Fairy Without Wings (World) (v1.3.0).zip"));
  EXPECT_TRUE(names.count("katochan.zip"));

  // A file forged to an entry's CRC-32 and size is that entry.
  const std::string forged = test::ForgeCrc(std::string(4092, 'A'), 0x515FA592);
  bool found = false;
  uint32_t index = 0;
  RomRecord r =
      db.FindRom(test::Crc32(forged), static_cast<uint32_t>(forged.size()), &found, &index);
  ASSERT_TRUE(found);
  EXPECT_EQ(r.name, "Amoeba Jump (World) (v1.1) (NTSC) (Aftermarket) (Unl).a26");
  EXPECT_EQ(r.system, "Atari - 2600");
  EXPECT_EQ(db.GetSet(static_cast<uint32_t>(r.set_index)).display_name,
            "Amoeba Jump (World) (v1.1).zip");

  // An entity in a software list's ROM name.
  index = 0;
  r = db.FindRom(0x6069C5E7, 262144, &found, &index);
  ASSERT_TRUE(found);
  EXPECT_EQ(r.name, "kato chan & ken chan (japan).pce");
  EXPECT_EQ(r.system, "NEC PC-Engine cartridges");

  // A ROM that several MAME sets hold (merged into clones): each of them in turn, round again.
  std::vector<std::string> holders;
  index = 0;
  for (int i = 0; i < 50; ++i) {
    r = db.FindRom(0x2FC650BD, 32, &found, &index);
    ASSERT_TRUE(found);
    const SetRecord& set = db.GetSet(static_cast<uint32_t>(r.set_index));
    EXPECT_EQ(db.RomName(static_cast<uint32_t>(set.rom_indices[static_cast<size_t>(r.slot)])),
              r.name);
    std::string holder = std::string(set.display_name) + "/" + r.name;
    if (!holders.empty() && holder == holders.front()) break;
    holders.push_back(holder);
  }
  ASSERT_GE(holders.size(), 2u);
  EXPECT_NE(std::find(holders.begin(), holders.end(), "pacman.zip/82s123.7f"), holders.end());
  EXPECT_NE(std::find(holders.begin(), holders.end(), "puckman.zip/82s123.7f"), holders.end());
}

TEST_F(DatRealDataTest, NamesBeyondAsciiKeepTheirBytes) {
  for (const char* name : kOwnDats) AddDat(OurPath(name));
  LoadDatafiles();
  EXPECT_EQ(home_.Log(), "Loading datafiles :\r\n - non_ascii.dat\r\n - non_ascii.xml\r\n");
  const RomDatabase& db = Database();
  ASSERT_EQ(db.GetSetCount(), 4u);
  EXPECT_EQ(db.GetSet(0).archive_name,
            "Zeruda no Densetsu (\xE3\x82\xBC\xE3\x83\xAB\xE3\x83\x80\xE3\x81\xAE\xE4\xBC\x9D\xE8"
            "\xAA\xAC) (Japan) (Rev 1.1).zip");
  EXPECT_EQ(db.GetSet(1).rom_count(), 2);
  EXPECT_EQ(db.GetSet(3).archive_name,
            "\xC3\x91"
            "and\xC3\xBA & Co..zip");
  bool found = false;
  uint32_t index = 0;
  RomRecord r = db.FindRom(0x5E8E2C21, 0x1FFDC, &found, &index);
  ASSERT_TRUE(found);
  EXPECT_EQ(r.name, "\xE3\x82\xA4\xE3\x83\xBC\xE3\x82\xB9.fds");
  EXPECT_EQ(r.system,
            "Famicom Disk System (\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xB9\xE3\x82\xAF"
            "\xE3\x82\xB7\xE3\x82\xB9\xE3\x83\x86\xE3\x83\xA0)");
  EXPECT_EQ(db.RomSystem(0), "Famicom Disk System");
}

// The own-format datafile that says what `dat` says: one line per game that can be stated
// (set name with ".zip" so that cutting at the last dot gives it back, ROMs always listed).
std::string ToOwnFormat(const DatFile& dat) {
  std::string out = "#console#;" + dat.system() + "\r\n";
  char hex[9];
  for (const DatGame& g : dat.games()) {
    if (g.bad_number || g.rom_count == 0) continue;
    std::string names = std::string(g.name) + ".zip", sizes, crcs;
    for (const ParsedRom& rom : dat.roms(g)) {
      EXPECT_EQ(rom.name.find_first_of(":;\r\n"), std::string_view::npos) << rom.name;
      std::snprintf(hex, sizeof hex, "%08X", rom.crc);
      names += ":" + std::string(rom.name);
      sizes += ":" + std::to_string(rom.size);
      crcs += ":" + std::string(hex);
    }
    out += names + ";" + sizes + ";" + crcs + "\r\n";
  }
  return out;
}

void ExpectSameTables(const RomDatabase& own, const RomDatabase& dat, const std::string& file) {
  ASSERT_EQ(own.GetRomCount(), dat.GetRomCount()) << file;
  ASSERT_EQ(own.GetSetCount(), dat.GetSetCount()) << file;
  for (uint32_t i = 0; i < own.GetRomCount(); ++i) {
    RomRecord a = own.GetRom(i), b = dat.GetRom(i);
    ASSERT_EQ(a.name, b.name) << file << " entry " << i;
    ASSERT_EQ(a.system, b.system) << file << " entry " << i;
    ASSERT_EQ(a.crc, b.crc) << file << " entry " << i;
    ASSERT_EQ(a.size, b.size) << file << " entry " << i;
    ASSERT_EQ(a.set_index, b.set_index) << file << " entry " << i;
    ASSERT_EQ(a.slot, b.slot) << file << " entry " << i;
  }
  for (uint32_t s = 0; s < own.GetSetCount(); ++s) {
    ASSERT_EQ(own.GetSet(s).archive_name, dat.GetSet(s).archive_name) << file << " set " << s;
    ASSERT_EQ(own.GetSet(s).display_name, dat.GetSet(s).display_name) << file << " set " << s;
    ASSERT_TRUE(std::ranges::equal(own.GetSet(s).rom_indices, dat.GetSet(s).rom_indices))
        << file << " set " << s;
  }
}

TEST_F(DatRealDataTest, EachFormatGivesTheTablesOfItsOwnFormatEquivalent) {
  std::vector<std::string> paths;
  for (const char* name : kRealDats) paths.push_back(SharedPath(name));
  for (const char* name : kOwnDats) paths.push_back(OurPath(name));
  for (const std::string& path : paths) {
    std::string contents = test::ReadFile(path);
    DatFile dat;
    ASSERT_TRUE(ReadDat(&contents, &dat)) << path;
    RomDatabase from_dat, from_own;
    AddDatFile(dat, &from_dat);
    ParseOwnDatafile(ToOwnFormat(dat), &from_own);
    ASSERT_GT(from_dat.GetSetCount(), 0u) << path;
    ExpectSameTables(from_own, from_dat, path);
  }
}

}  // namespace
}  // namespace cartidex
