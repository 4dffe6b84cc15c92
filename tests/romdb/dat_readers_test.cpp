// The datafile readers: numbers, ClrMamePro text, Logiqx XML and software lists, each parsed DAT
// shown whole with the lines its games begin on.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "romdb/dat_text_reader.h"
#include "romdb/dat_xml_reader.h"
#include "romdb/describe.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

TEST(DatReadersTest, SizesAndCrcs) {
  // A DAT's: sizes decimal or "0x" hex, CRC-32s eight hex digits; refusals leave the value.
  uint32_t value = 7;
  const std::pair<const char*, uint32_t> kSizes[] = {
      {"0010", 10}, {"4294967295", 0xFFFFFFFF}, {"0x20000", 0x20000}, {"0XFFFFFFFF", 0xFFFFFFFF}};
  for (const auto& [text, want] : kSizes) {
    EXPECT_TRUE(ParseDatSize(text, &value) && value == want) << text;
  }
  EXPECT_TRUE(ParseDatCrc("8e68533e", &value) && value == 0x8E68533Eu);
  value = 7;
  for (const char* text : {"", "-1", "+1", " 1", "1k", "0x", "0x1G", "4294967296", "0x100000000"}) {
    EXPECT_FALSE(ParseDatSize(text, &value)) << text;
  }
  for (const char* text : {"", "8e68533", "08e68533e", "0x8e6853", "8e68-33e", " 8e68533"}) {
    EXPECT_FALSE(ParseDatCrc(text, &value)) << text;
  }
  EXPECT_EQ(value, 7u);
}

TEST(DatReadersTest, ClrMameProGamesMachinesAndResources) {
  // Lines end at CR LF, a lone LF or a lone CR; a quoted text may span lines.
  const std::string text =
      "\xEF\xBB\xBF"
      "clrmamepro (\r\n\tname \"Game Console\"\r\n\tdescription \"Game\nConsole\"\r\n)\r\n"
      "game (\n\tname \"Sample Set (Rev 2.0)\"\n\trom ( name samp.u1 size 65536 crc 1A2B3C4D )\n"
      "\trom ( name \"samp (u2).bin\" size 0x20000 crc 00ff00ff flags verified md5 00 )\n)\r"
      "machine ( name m1 driver ( status good ) rom ( name m1.rom size 16 crc 0000000A ) )\r"
      "resource(name r1 rom(crc 0000000B size 8 name r1.rom))\n"
      "game ( name g\n  rom ( name nocrc size 4 )\n"
      "  rom ( name dumpless size 4 crc 00000001 flags nodump )\n"
      "  rom ( name dumpless2 size 4 crc 00000002 status nodump )\n"
      "  rom ( name dumpless3 size 4 nodump )\n  rom ( size 4 crc 00000003 )\n"
      "  rom ( name nosize crc 00000004 )\n"
      "  rom ( name kept size 4 crc 00000005 baddump merge other )\n  disk ( name d sha1 0 )\n)\n"
      "game ( rom ( name a size 4 crc 00000006 ) name \"named last\" )\n"
      "game ( name bad rom ( name a size 4k crc 00000007 ) )\n"
      "game ( name badcrc rom ( name a size 4 crc 7 ) )\n"
      "clrmamepro ( name \"Second Header\" )\n"  // only the first header names the system
      "game ( name empty )\n";
  DatFile dat;
  ASSERT_TRUE(ReadClrMameProDat(text, &dat));
  EXPECT_EQ(dat.format, DatFormat::kClrMamePro);
  EXPECT_EQ(dat.system() + Describe(dat),
            "Game Console"
            "[Sample Set (Rev 2.0)@6 samp.u1=65536/1A2B3C4D samp (u2).bin=131072/00FF00FF]"
            "[m1@11 m1.rom=16/0000000A][r1@12 r1.rom=8/0000000B][g@13 kept=4/00000005]"
            "[named last@23 a=4/00000006][bad@24! a=0/00000000][badcrc@25! a=4/00000000]"
            "[empty@27]");
}

TEST(DatReadersTest, Logiqx) {
  std::string logiqx =
      "<?xml version=\"1.0\"?>\r\n"
      "<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN\" \"x.dtd\">\r\n"
      "<datafile>\r\n\t<header><name>Arcade &amp; \xC3\x89mulation</name></header>\r\n"
      "\t<game name=\"Super Game (Rev 1.1)\">\r\n\t\t<rom name=\"sg.1\" size=\"2048\" "
      "crc=\"8e68533e\"/>\r\n\t\t<rom name=\"shared.2\" merge=\"shared.2\" size=\"0x800\" "
      "crc=\"29E10A81\"/>\r\n"
      "\t\t<rom name=\"prom\" size=\"512\" status=\"nodump\"/><rom name=\"nocrc\" size=\"1\"/>\n"
      "\t\t<disk name=\"hdd\" sha1=\"00\"/>\r\t</game>\r\n\t<machine\r\n"
      "\t\tname=\"m &lt;1&gt; &#x30B2;\"><rom name=\"caf\xC3\xA9\" size=\"16\" crc=\"0000000a\"/>"
      "</machine>\r\n"
      "\t<game name=\"badsize\"><rom name=\"b\" size=\"16 \" crc=\"0000000b\"/></game>\r\n"
      "\t<game name=\"samples only\"><sample name=\"1.wav\"/></game>\r\n</datafile>\r\n";
  DatFile dat;
  ASSERT_TRUE(ReadXmlDat(std::span<char>(logiqx), &dat));
  EXPECT_EQ(dat.format, DatFormat::kLogiqx);
  EXPECT_EQ(dat.system() + Describe(dat),
            "Arcade & \xC3\x89mulation"
            "[Super Game (Rev 1.1)@5 sg.1=2048/8E68533E shared.2=2048/29E10A81]"
            "[m <1> \xE3\x82\xB2@11 caf\xC3\xA9=16/0000000A][badsize@13! b=0/00000000]"
            "[samples only@14]");
}

TEST(DatReadersTest, TheContentsTellTheFormatAndABrokenDatIsNone) {
  // A software list reads every data area of every part.
  const std::string list =
      "<softwarelist description=\"Cartridges\"><software name=\"quest\"><part><dataarea>"
      "<rom name=\"quest.bin\" size=\"0x40\" crc=\"00005678\"/><rom size=\"0x10\"/></dataarea>"
      "<dataarea><rom name=\"quest.prg\" size=\"16\" crc=\"73614660\"/></dataarea><diskarea>"
      "<disk name=\"cd\"/></diskarea></part><part><dataarea><rom name=\"quest.d2\" size=\"1\" "
      "crc=\"00000001\"/></dataarea></part></software></softwarelist>";
  std::string utf16 = "\xFF\xFE";  // only XML comes in UTF-16
  for (const char c : list) utf16 += {c, '\0'};
  const auto no = std::nullopt;
  // clang-format off
  const std::pair<std::string, std::optional<DatFormat>> kCases[] = {
      {"\xEF\xBB\xBF \r\n\t<datafile><header><name>A</name></header></datafile>",
       DatFormat::kLogiqx},
      {"\xEF\xBB\xBF\r\nclrmamepro ( name \"H\" )\n", DatFormat::kClrMamePro},
      {"emulator ( name e )\ngame ( name g )", DatFormat::kClrMamePro},
      {list, DatFormat::kSoftwareList}, {utf16, DatFormat::kSoftwareList}, {"", no}, {"   ", no},
      {"#console#;Game Console\r\nSolo.bin;16;ABCD\r\n", no},
      {"<?xml version=\"1.0\"?><html><body/></html>", no},
      {"<datafile><game name=\"g\"><rom name=\"a\"/></datafile>", no},
      {"<datafile><game name=\"g></game></datafile>", no},
      {"game ( name g rom ( name a size 1 crc 00000001 )\n", no},  // a ')' missing
      {"game ( name g ) )\n", no},       // one too many
      {"game ( name \"g )\n", no},       // an open quote
      {"game ( name g ) stray\n", no},   // a word outside a block
      {"game ( ( name g ) )\n", no},     // a block where a key belongs
      {"something ( name g )\n", no}};  // not a DAT's first block
  // clang-format on
  for (auto [text, format] : kCases) {
    DatFile dat;
    EXPECT_EQ(ReadDat(&text, &dat) ? std::optional(dat.format) : std::nullopt, format) << text;
  }
  DatFile dat;
  ASSERT_TRUE(ReadDat(&utf16, &dat));
  EXPECT_EQ(dat.system() + Describe(dat),
            "Cartridges[quest@1 quest.bin=64/00005678 quest.prg=16/73614660 quest.d2=1/00000001]");
}

TEST(DatReadersTest, OneSetPerGameWithItsKeptRomsOrALineThatSaysWhyNot) {
  test::TestHome home;
  DatFile dat;
  dat.SetSystem(std::string(128, 'S'), 3);  // too long: refused, "Unknown" stays
  const DatRomFields nodump{"prom", "16", "0000ABCD", true};
  dat.BeginGame("Super Game (Rev 1.1)", 5);  // the name is the set's, dots and all
  for (const DatRomFields& rom :
       {DatRomFields{"a.1", "0x10", "0000000A"}, nodump, DatRomFields{"nocrc", "16", std::nullopt},
        DatRomFields{"", "1", "00000001"}, DatRomFields{"b.2", "32", "0000000b"}}) {
    dat.AddRom(rom);
  }
  dat.BeginGame("Only Nodumps", 9);  // nothing kept: nothing added, nothing said
  dat.AddRom(nodump);
  dat.BeginGame("bad", 40);
  dat.AddRom({"r", "16", "ABCD"});
  dat.BeginGame("bad and too many", 50);
  for (int i = 0; i < 129; ++i) dat.AddRom({"r", i == 0 ? "x" : "1", "0000ABCD"});
  dat.BeginGame("", 70);
  dat.AddRom({"unnamed", "16", "0000ABCD"});
  AddDatFile(dat, &Database());
  EXPECT_EQ(home.Log(),
            " ! Line 3 skipped: text too long\r\n ! Line 40 skipped: bad number\r\n"
            " ! Line 50 skipped: too many roms\r\n ! Line 70 skipped: missing fields\r\n");
  EXPECT_EQ(Describe(Database()),
            "[Super Game (Rev 1.1).zip a.1@Unknown=16/0000000A b.2@Unknown=32/0000000B]");
}

}  // namespace
}  // namespace cartidex
