#include "romdb/dat_file.h"

#include <gtest/gtest.h>

#include <string>

#include "romdb/describe.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

TEST(DatFileTest, NumbersAreReadStrictly) {
  const struct {
    const char* text;
    bool size_ok;
    uint32_t size;
    bool crc_ok;
    uint32_t crc;
  } kCases[] = {
      {"0", true, 0, false, 0},
      {"0010", true, 10, false, 0},  // leading zeros are still decimal
      {"4294967295", true, 0xFFFFFFFF, false, 0},
      {"0x20000", true, 0x20000, false, 0},
      {"0XFFFFFFFF", true, 0xFFFFFFFF, false, 0},
      {"8e68533e", false, 0, true, 0x8E68533E},
      {"931A0BDC", false, 0, true, 0x931A0BDC},
      {"00000000", true, 0, true, 0},
      {"12345678", true, 12345678, true, 0x12345678},
      {"", false, 0, false, 0},
      {"-1", false, 0, false, 0},
      {"+1", false, 0, false, 0},
      {" 1", false, 0, false, 0},
      {"1k", false, 0, false, 0},
      {"0x", false, 0, false, 0},
      {"0x1G", false, 0, false, 0},
      {"4294967296", false, 0, false, 0},
      {"0x100000000", false, 0, false, 0},
      {"8e68533", false, 0, false, 0},
      {"08e68533e", false, 0, false, 0},
      {"8e68-33e", false, 0, false, 0},
  };
  for (const auto& c : kCases) {
    uint32_t size = 7, crc = 7;
    EXPECT_EQ(ParseDatSize(c.text, &size), c.size_ok) << c.text;
    EXPECT_EQ(size, c.size_ok ? c.size : 7u) << c.text;
    EXPECT_EQ(ParseDatCrc(c.text, &crc), c.crc_ok) << c.text;
    EXPECT_EQ(crc, c.crc_ok ? c.crc : 7u) << c.text;
  }
}

DatRomFields Rom(std::string_view name, std::string_view size = "16",
                 std::string_view crc = "0000ABCD") {
  DatRomFields f;
  f.name = name;
  f.size = size;
  f.crc = crc;
  return f;
}

TEST(DatFileTest, OneSetPerGameWithItsKeptRomsOrALineThatSaysWhyNot) {
  test::TestHome home;
  DatFile dat;
  dat.SetSystem(std::string(128, 'S'), 3);  // too long: refused, "Unknown" stays
  const std::string name123(123, 'n'), name124(124, 'n'), rom128(128, 'r');
  DatRomFields nodump = Rom("prom"), no_crc = Rom("nocrc");
  nodump.nodump = true;
  no_crc.crc.reset();
  dat.BeginGame("Super Game (Rev 1.1)", 5);  // the name is the set's, dots and all
  for (const DatRomFields& rom : {Rom("a.1", "0x10", "0000000A"), nodump, no_crc,
                                  Rom("", "1", "00000001"), Rom("b.2", "32", "0000000b")}) {
    dat.AddRom(rom);
  }
  dat.BeginGame("Only Nodumps", 9);  // nothing kept: nothing added, nothing said
  dat.AddRom(nodump);
  dat.BeginGame(name123, 10);  // 123 + ".zip" = 127: fits
  dat.AddRom(Rom("fits"));
  dat.BeginGame(name124, 20);
  dat.AddRom(Rom("r"));
  dat.BeginGame("long rom", 30);
  dat.AddRom(Rom(rom128));
  dat.BeginGame("bad", 40);
  dat.AddRom(Rom("r", "16", "ABCD"));
  dat.BeginGame("bad and too many", 50);
  for (int i = 0; i < 129; ++i) dat.AddRom(Rom("r", i == 0 ? "x" : "1"));
  dat.BeginGame("", 70);
  dat.AddRom(Rom("unnamed"));

  AddDatFile(dat, &Database());
  EXPECT_EQ(home.Log(),
            " ! Line 3 skipped: text too long\r\n"
            " ! Line 20 skipped: text too long\r\n"
            " ! Line 30 skipped: text too long\r\n"
            " ! Line 40 skipped: bad number\r\n"
            " ! Line 50 skipped: too many roms\r\n"
            " ! Line 70 skipped: missing fields\r\n");
  EXPECT_EQ(Describe(Database()),
            "[Super Game (Rev 1.1).zip a.1@Unknown=16/0000000A "
            "b.2@Unknown=32/0000000B][" +
                name123 + ".zip fits@Unknown=16/0000ABCD]");
}

TEST(DatFileTest, TheContentsTellTheFormat) {
  const std::string list =
      "<softwarelist name=\"cart\" description=\"Cartridges\"><software name=\"quest\"><part "
      "name=\"c\"><dataarea name=\"rom\"><rom name=\"quest.bin\" size=\"0x40\" crc=\"00005678\"/>"
      "</dataarea></part></software></softwarelist>";
  std::string utf16 = "\xFF\xFE";
  for (const char c : list) utf16 += std::string{c, '\0'};
  const struct {
    std::string text;
    bool read;
    DatFormat format;
  } kCases[] = {
      {"\xEF\xBB\xBF \r\n\t<datafile><header><name>A</name></header></datafile>", true,
       DatFormat::kLogiqx},
      {"\xEF\xBB\xBF\r\nclrmamepro ( name \"H\" )\n", true, DatFormat::kClrMamePro},
      {list, true, DatFormat::kSoftwareList},
      {utf16, true, DatFormat::kSoftwareList},
      {"", false, DatFormat::kClrMamePro},
      {"   ", false, DatFormat::kClrMamePro},
      {"#console#;Game Console\r\nSolo.bin;16;ABCD\r\n", false, DatFormat::kClrMamePro},
      {"<notadat/>", false, DatFormat::kLogiqx},
      {"\xFF\xFEgarbage", false, DatFormat::kLogiqx},
  };
  for (auto c : kCases) {
    DatFile dat;
    ASSERT_EQ(ReadDat(&c.text, &dat), c.read) << c.text;
    EXPECT_TRUE(!c.read || dat.format == c.format) << c.text;
  }
  std::string text = utf16;
  DatFile dat;
  ASSERT_TRUE(ReadDat(&text, &dat));
  EXPECT_EQ(dat.system(), "Cartridges");
  EXPECT_EQ(Describe(dat), "[quest@1 quest.bin=64/00005678]");
}

}  // namespace
}  // namespace cartidex
