#include "romdb/dat_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "romdb/describe.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

TEST(DatFileTest, NumbersAreReadStrictly) {
  // Sizes: decimal, or hexadecimal after "0x"; CRC-32s: eight hexadecimal digits.
  const std::pair<const char*, uint32_t> kSizes[] = {{"0", 0},
                                                     {"0010", 10},
                                                     {"4294967295", 0xFFFFFFFF},
                                                     {"0x20000", 0x20000},
                                                     {"0XFFFFFFFF", 0xFFFFFFFF}};
  const std::pair<const char*, uint32_t> kCrcs[] = {
      {"8e68533e", 0x8E68533E}, {"931A0BDC", 0x931A0BDC}, {"00000000", 0}};
  uint32_t value = 7;
  for (const auto& [text, want] : kSizes) {
    EXPECT_TRUE(ParseDatSize(text, &value) && value == want) << text;
  }
  for (const auto& [text, want] : kCrcs) EXPECT_TRUE(ParseDatCrc(text, &value) && value == want);
  value = 7;
  for (const char* text :
       {"", "-1", "+1", " 1", "1k", "0x", "0x1G", "4294967296", "0x100000000", "8e68533e"}) {
    EXPECT_FALSE(ParseDatSize(text, &value)) << text;
  }
  for (const char* text : {"", "8e68533", "08e68533e", "0x8e6853", "8e68-33e", " 8e68533"}) {
    EXPECT_FALSE(ParseDatCrc(text, &value)) << text;
  }
  EXPECT_EQ(value, 7u);  // refused numbers leave the value alone
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

TEST(DatFileTest, TheContentsTellTheFormatAndABrokenDatIsNone) {
  const std::string list =
      "<softwarelist description=\"Cartridges\"><software name=\"quest\"><part><dataarea>"
      "<rom name=\"quest.bin\" size=\"0x40\" crc=\"00005678\"/></dataarea></part></software>"
      "</softwarelist>";
  std::string utf16 = "\xFF\xFE";  // only XML comes in UTF-16
  for (const char c : list) utf16 += {c, '\0'};
  const std::pair<std::string, std::optional<DatFormat>> kCases[] = {
      {"\xEF\xBB\xBF \r\n\t<datafile><header><name>A</name></header></datafile>",
       DatFormat::kLogiqx},
      {"\xEF\xBB\xBF\r\nclrmamepro ( name \"H\" )\n", DatFormat::kClrMamePro},
      {"emulator ( name e )\ngame ( name g )", DatFormat::kClrMamePro},
      {list, DatFormat::kSoftwareList},
      {utf16, DatFormat::kSoftwareList},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"#console#;Game Console\r\nSolo.bin;16;ABCD\r\n", std::nullopt},
      {"\xFF\xFEgarbage", std::nullopt},
      {"<?xml version=\"1.0\"?><html><body/></html>", std::nullopt},
      {"<?xml version=\"1.0\"?><!-- nothing else -->", std::nullopt},
      {"<datafile><game name=\"g\"><rom name=\"a\"/></datafile>", std::nullopt},
      {"<datafile><game name=\"g></game></datafile>", std::nullopt},
      {"game ( name g rom ( name a size 1 crc 00000001 )\n", std::nullopt},  // a ')' missing
      {"game ( name g ) )\n", std::nullopt},                                 // one too many
      {"game ( name \"g )\n", std::nullopt},                                 // an open quote
      {"game ( name g ) stray\n", std::nullopt},  // a word outside a block
      {"game ( ( name g ) )\n", std::nullopt},    // a block where a key belongs
      {"something ( name g )\n", std::nullopt},   // not a DAT's first block
  };
  for (auto [text, format] : kCases) {
    DatFile dat;
    EXPECT_EQ(ReadDat(&text, &dat) ? std::optional(dat.format) : std::nullopt, format) << text;
  }
  DatFile dat;
  ASSERT_TRUE(ReadDat(&utf16, &dat));
  EXPECT_EQ(dat.system(), "Cartridges");
  EXPECT_EQ(Describe(dat), "[quest@1 quest.bin=64/00005678]");
}

}  // namespace
}  // namespace cartidex
