// Reading DATs by their contents, and loading them from the datfiles folder beside the own files.
#include "romdb/dat_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

const char kLogiqx[] =
    "<?xml version=\"1.0\"?>\r\n"
    "<datafile>\r\n"
    "  <header><name>Arcade</name></header>\r\n"
    "  <game name=\"Bolt (Rev 1.1)\">\r\n"
    "    <rom name=\"bolt.1\" size=\"16\" crc=\"0000ABCD\"/>\r\n"
    "  </game>\r\n"
    "  <game name=\"Broken\"><rom name=\"x\" size=\"16\" crc=\"ABCD\"/></game>\r\n"
    "</datafile>\r\n";

const char kClrMamePro[] =
    "clrmamepro ( name \"Handheld\" )\n"
    "game ( name \"Pocket\" rom ( name pocket.gb size 32 crc 00001234 ) )\n";

const char kSoftwareList[] =
    "<softwarelist name=\"cart\" description=\"Cartridges\">"
    "<software name=\"quest\"><part name=\"cart\"><dataarea name=\"rom\">"
    "<rom name=\"quest.bin\" size=\"0x40\" crc=\"00005678\"/></dataarea></part></software>"
    "</softwarelist>";

DatFormat FormatOf(std::string text) {
  DatFile dat;
  EXPECT_TRUE(ReadDat(&text, &dat));
  return dat.format;
}

TEST(DatFormatTest, TheContentsTellTheFormat) {
  EXPECT_EQ(FormatOf(kLogiqx), DatFormat::kLogiqx);
  EXPECT_EQ(FormatOf(std::string("\xEF\xBB\xBF \r\n\t") + kLogiqx), DatFormat::kLogiqx);
  EXPECT_EQ(FormatOf(kClrMamePro), DatFormat::kClrMamePro);
  EXPECT_EQ(FormatOf(std::string("\xEF\xBB\xBF\r\n") + kClrMamePro), DatFormat::kClrMamePro);
  EXPECT_EQ(FormatOf(kSoftwareList), DatFormat::kSoftwareList);

  // UTF-16 comes with a byte-order mark and is read as XML.
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string_view(kSoftwareList)) {
    utf16.push_back(c);
    utf16.push_back('\0');
  }
  DatFile dat;
  ASSERT_TRUE(ReadDat(&utf16, &dat));
  EXPECT_EQ(dat.system(), "Cartridges");
  ASSERT_EQ(dat.games().size(), 1u);
  EXPECT_EQ(dat.roms(dat.games()[0])[0].name, "quest.bin");

  for (std::string text : {"", "   ", "#console#;Game Console\r\nSolo.bin;16;ABCD\r\n",
                           "<notadat/>", "\xFF\xFEgarbage"}) {
    DatFile none;
    EXPECT_FALSE(ReadDat(&text, &none)) << text;
  }
}

TEST(DatFormatTest, DatsLoadAfterTheOwnFilesEachKindInListingOrder) {
  test::TestHome home;
  home.AddDatafile("b.cxi", "#console#;Own\r\nOwn Set.bin;16;0000ABCD\r\n");
  home.AddDatafile("Z.CXI", "Z.bin;1;00000001\r\n");
  home.AddDatafile("c.dat", kLogiqx);      // Logiqx in a ".dat"
  home.AddDatafile("a.xml", kClrMamePro);  // ClrMamePro in a ".xml"
  home.AddDatafile("A.DAT", kSoftwareList);
  home.AddDatafile(".hidden.dat", kClrMamePro);
  home.AddDatafile("notes.txt", kClrMamePro);
  LoadDatafiles();
  EXPECT_EQ(home.Log(),
            "Loading datafiles :\r\n"
            " - b.cxi\r\n - Z.CXI\r\n"
            " - A.DAT\r\n - c.dat\r\n ! Line 7 skipped: bad number\r\n"
            " - a.xml\r\n");
  const RomDatabase& db = Database();
  ASSERT_EQ(db.GetSetCount(), 5u);
  EXPECT_EQ(db.GetSet(0).archive_name, "Own Set.zip");
  EXPECT_EQ(db.GetSet(1).archive_name, "Z.zip");
  EXPECT_EQ(db.GetSet(2).archive_name, "quest.zip");
  EXPECT_EQ(db.GetSet(3).archive_name, "Bolt (Rev 1.1).zip");
  EXPECT_EQ(db.GetSet(4).archive_name, "Pocket.zip");
  EXPECT_EQ(db.RomSystem(2), "Cartridges");
  EXPECT_EQ(db.RomSystem(3), "Arcade");
  EXPECT_EQ(db.RomSystem(4), "Handheld");
  EXPECT_EQ(db.GetRom(2).size, 64u);
}

TEST(DatFormatTest, ABrokenDatAddsNothingAtAll) {
  test::TestHome home;
  // Well-formed games come first; the file still adds none of them.
  std::string truncated(kClrMamePro);
  truncated += "game ( name \"Cut\" rom ( name cut.gb size 8 crc 00000008 )\n";
  home.AddDatafile("cut.dat", truncated);
  std::string broken_xml(kLogiqx);
  broken_xml.resize(broken_xml.size() - 13);  // "</datafile>\r\n" missing
  home.AddDatafile("cut.xml", broken_xml);
  home.AddDatafile("empty.dat", "");
  home.AddDatafile("own.dat", "Solo.bin;16;ABCD\r\n");  // the own format only counts as ".cxi"
  LoadDatafiles();
  EXPECT_EQ(home.Log(),
            "Loading datafiles :\r\n"
            " - cut.dat\r\n ! Not a datafile\r\n"
            " - empty.dat\r\n ! Not a datafile\r\n"
            " - own.dat\r\n ! Not a datafile\r\n"
            " - cut.xml\r\n ! Not a datafile\r\n");
  EXPECT_EQ(Database().GetSetCount(), 0u);
  EXPECT_EQ(Database().GetRomCount(), 0u);
}

// A DAT beside an own file changes which entry a lookup from 0 meets first: entry 0 is tried last.
TEST(DatFormatTest, ARomInBothAnOwnFileAndADatIsFoundInTheDatFirst) {
  test::TestHome home;
  home.AddDatafile("own.cxi", "#console#;Own\r\nSolo.bin;16;0000ABCD\r\n");
  LoadDatafiles();
  bool found = false;
  uint32_t index = 0;
  RomRecord r = Database().FindRom(0xABCD, 16, &found, &index);
  ASSERT_TRUE(found);
  EXPECT_EQ(index, 0u);
  EXPECT_EQ(r.name, "Solo.bin");

  home.AddDatafile("arcade.dat", kLogiqx);
  LoadDatafiles();
  index = 0;
  r = Database().FindRom(0xABCD, 16, &found, &index);
  ASSERT_TRUE(found);
  EXPECT_EQ(index, 1u);
  EXPECT_EQ(r.name, "bolt.1");
  EXPECT_EQ(r.system, "Arcade");
  EXPECT_EQ(Database().GetSet(static_cast<uint32_t>(r.set_index)).display_name,
            "Bolt (Rev 1.1).zip");
  r = Database().FindRom(0xABCD, 16, &found, &index);
  ASSERT_TRUE(found);
  EXPECT_EQ(index, 0u);
  EXPECT_EQ(r.name, "Solo.bin");
  EXPECT_EQ(r.system, "Own");
}

// The demo home folder's DATs (one per format) name the demo files, which are plain files and
// zip members there.
TEST(DatFormatTest, TheDemoDatsNameTheDemoFiles) {
  test::TestHome home;
  const std::string demo = std::string(CARTIDEX_TEST_DATA) + "/../../demo/";
  for (const auto& entry : std::filesystem::directory_iterator(demo + "datfiles")) {
    const std::string name = entry.path().filename().string();
    home.AddDatafile(name, test::ReadFile(entry.path().string()));
  }
  LoadDatafiles();
  EXPECT_EQ(home.Log(),
            "Loading datafiles :\r\n - Demo.cxi\r\n - Demo Arcade.dat\r\n - Demo Handheld.dat\r\n"
            " - Demo Cartridges.xml\r\n");
  const struct {
    const char* file;
    const char* name;
    const char* system;
    const char* set;
  } kExpected[] = {
      {"bolt.1", "bolt.1", "Demo Arcade", "Bolt Runner (Rev 1.1).zip"},
      {"bolt.2", "bolt.2", "Demo Arcade", "Bolt Runner (Rev 1.1).zip"},
      {"pocket_pal.gb", "Pocket Pal (World) (v1.0).gb", "Demo Handheld",
       "Pocket Pal (World) (v1.0).zip"},
      {"star_quest.pce", "star quest (europe).pce", "Demo Cards", "starqst.zip"},
  };
  for (const auto& e : kExpected) {
    const std::string data = test::ReadFile(demo + "files/" + e.file);
    bool found = false;
    uint32_t index = 0;
    RomRecord r =
        Database().FindRom(test::Crc32(data), static_cast<uint32_t>(data.size()), &found, &index);
    ASSERT_TRUE(found) << e.file;
    EXPECT_EQ(r.name, e.name);
    EXPECT_EQ(r.system, e.system);
    EXPECT_EQ(Database().GetSet(static_cast<uint32_t>(r.set_index)).archive_name, e.set);
  }
  // The arcade game's ROM without a dump is not part of its set.
  EXPECT_EQ(Database().GetSet(3).rom_count(), 2);
}

}  // namespace
}  // namespace cartidex
