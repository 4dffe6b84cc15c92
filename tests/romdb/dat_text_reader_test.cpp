#include "romdb/dat_text_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "romdb/describe.h"

namespace cartidex {
namespace {

TEST(DatTextReaderTest, GamesMachinesAndResourcesWithTheLinesTheyBeginOn) {
  // Lines end at CR LF, a lone LF or a lone CR; a quoted text may span lines.
  const std::string text =
      "\xEF\xBB\xBF"
      "clrmamepro (\r\n\tname \"Game Console\"\r\n\tdescription \"Game\nConsole\"\r\n)\r\n"
      "game (\n\tname \"Sample Set (Rev 2.0)\"\n"
      "\trom ( name samp.u1 size 65536 crc 1A2B3C4D md5 00 )\n"
      "\trom ( name \"samp (u2).bin\" size 0x20000 crc 00ff00ff flags verified )\n)\r"
      "machine ( name m1 driver ( status good ) rom ( name m1.rom size 16 crc 0000000A ) )\r"
      "resource(name r1 rom(crc 0000000B size 8 name r1.rom))\n"
      "game ( name g\n"
      "  rom ( name nocrc size 4 )\n"
      "  rom ( name dumpless size 4 crc 00000001 flags nodump )\n"
      "  rom ( name dumpless2 size 4 crc 00000002 status nodump )\n"
      "  rom ( name dumpless3 size 4 nodump )\n"
      "  rom ( size 4 crc 00000003 )\n"
      "  rom ( name nosize crc 00000004 )\n"
      "  rom ( name kept size 4 crc 00000005 baddump merge other )\n"
      "  disk ( name d sha1 0123 )\n"
      ")\n"
      "game ( rom ( name a size 4 crc 00000006 ) name \"named last\" )\n"
      "game ( name bad rom ( name a size 4k crc 00000007 ) )\n"
      "game ( name badcrc rom ( name a size 4 crc 7 ) )\n"
      "game ( name empty )\n";
  DatFile dat;
  ASSERT_TRUE(ReadClrMameProDat(text, &dat));
  EXPECT_EQ(dat.format, DatFormat::kClrMamePro);
  EXPECT_EQ(dat.system(), "Game Console");
  EXPECT_EQ(Describe(dat),
            "[Sample Set (Rev 2.0)@6 samp.u1=65536/1A2B3C4D samp (u2).bin=131072/00FF00FF]"
            "[m1@11 m1.rom=16/0000000A][r1@12 r1.rom=8/0000000B][g@13 kept=4/00000005]"
            "[named last@23 a=4/00000006][bad@24! a=0/00000000][badcrc@25! a=4/00000000]"
            "[empty@26]");
}

}  // namespace
}  // namespace cartidex
