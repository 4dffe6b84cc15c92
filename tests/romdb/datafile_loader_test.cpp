// Datafiles loaded as start-up loads them: the order, what cannot be read, huge lines, and the
// real DATs. The database keeps exactly the lines that fit, and the log names every line refused.
#include "romdb/datafile_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "romdb/describe.h"
#include "romdb/rom_database.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

const char kLogiqx[] =
    "<datafile><header><name>Arcade</name></header>\r\n"
    "<game name=\"Bolt (Rev 1.1)\"><rom name=\"bolt.1\" size=\"16\" crc=\"0000ABCD\"/></game>\r\n"
    "<game name=\"Broken\"><rom name=\"x\" size=\"16\" crc=\"ABCD\"/></game></datafile>\r\n";
const char kClrMamePro[] = "game ( name Pocket rom ( name pocket.gb size 32 crc 00001234 ) )\n";

TEST(DatafileLoaderTest, OwnFilesFirstThenDatsThenXmlEachKindInListingOrder) {
  test::TestHome home;
  home.AddDatafile("b.cxi", "#console#;Own\r\nOwn Set.bin;16;0000ABCD\r\n");
  home.AddDatafile("Z.CXI", "Z.bin;1;00000001\r\n");
  home.AddDatafile("c.dat", kLogiqx);      // Logiqx in a ".dat"
  home.AddDatafile("a.xml", kClrMamePro);  // ClrMamePro in a ".xml"
  home.AddDatafile(".hidden.dat", kClrMamePro);
  home.AddDatafile("notes.txt", kClrMamePro);
  home.AddDatafile("own.dat", "Solo.bin;16;ABCD\r\n");  // the own format only as ".cxi"
  std::string utf16 = "\xFF\xFE";  // every line of a UTF-16 text is ended by a NUL at once
  for (const char c : std::string_view("#console#;Sys\r\nA.bin;1;1\r\n")) utf16 += {c, '\0'};
  home.AddDatafile("wide.cxi", utf16);
  home.AddDatafile("cut.xml", std::string(kLogiqx, sizeof kLogiqx - 14));
  test::MakeDirs(home.Path("datfiles/folder.cxi"));
  LoadDatafiles();
  const std::string name(300, 'n');  // no file may have that name: never read through a cut path
  LoadDatafile(name);
  EXPECT_EQ(home.Log(), "Loading datafiles :\r\n - b.cxi\r\n - folder.cxi\r\nCannot read: " +
                            home.Path("datfiles/folder.cxi") +
                            "\r\n - wide.cxi\r\n - Z.CXI\r\n"
                            " - c.dat\r\n ! Line 3 skipped: bad number\r\n - own.dat\r\n"
                            " ! Not a datafile\r\n - a.xml\r\n - cut.xml\r\n ! Not a datafile\r\n"
                            " - " +
                            name + "\r\n ! Path too long\r\n");
  EXPECT_EQ(
      Describe(Database()),
      "[Own Set.zip Own Set.bin@Own=16/0000ABCD][Z.zip Z.bin@Unknown=1/00000001]"
      "[Bolt (Rev 1.1).zip bolt.1@Arcade=16/0000ABCD][Pocket.zip pocket.gb@Unknown=32/00001234]");
}

TEST(DatafileLoaderTest, TenMegabyteLinesAreRefusedOrPassedOverAndTheRestLoads) {
  test::TestHome home;
  const std::string huge(10 << 20, 'n');
  home.AddDatafile("a.cxi", "#console#;Sys\r\nKeep.bin;1;1\r\n" +                     // 1, 2
                                huge + ".bin;1;1\r\n" + huge + "\r\n" +               // 3, 4
                                "Colons" + std::string(10 << 20, ':') + ";1;1\r\n" +  // 5
                                "#console#;" + huge + "\r\n" +                        // 6
                                "Semis" + std::string(10 << 20, ';') + "\r\n" +       // 7
                                "After.bin;3;3\r\n");                                 // 8
  LoadDatafiles();
  EXPECT_EQ(home.Log(),
            "Loading datafiles :\r\n - a.cxi\r\n ! Line 3 skipped: text too long\r\n"
            " ! Line 5 skipped: too many roms\r\n ! Line 6 skipped: text too long\r\n");
  EXPECT_EQ(Describe(Database()),
            "[Keep.zip Keep.bin@Sys=1/00000001][Semis.zip Semis@Sys=0/00000000]"
            "[After.zip After.bin@Sys=3/00000003]");
}

std::string Find(uint32_t crc, uint32_t size) {
  bool found = false;
  uint32_t index = 0;
  const RomRecord r = Database().FindRom(crc, size, &found, &index);
  return std::string(Database().GetSet(static_cast<uint32_t>(r.set_index)).display_name) + "/" +
         r.name + "@" + r.system;
}

// The DATs that collectors really have (from public collections) and two of our own with names
// beyond ASCII: counts, systems, the one refusal and a lookup in each format.
TEST(DatafileLoaderTest, RealDatsCountsSystemsRefusalsAndLookups) {
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
