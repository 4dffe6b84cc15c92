#include "romdb/dat_xml_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "romdb/describe.h"

namespace cartidex {
namespace {

TEST(DatXmlReaderTest, LogiqxGamesAndMachinesWithTheLinesTheyBeginOn) {
  std::string text =
      "<?xml version=\"1.0\"?>\r\n"
      "<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN\" \"x.dtd\">\r\n"
      "<datafile>\r\n"
      "\t<header><name>Arcade &amp; \xC3\x89mulation</name></header>\r\n"
      "\t<game name=\"Super Game (Rev 1.1)\">\r\n"
      "\t\t<rom name=\"sg.1\" size=\"2048\" crc=\"8e68533e\"/>\r\n"
      "\t\t<rom name=\"shared.2\" merge=\"shared.2\" size=\"0x800\" crc=\"29E10A81\"/>\r\n"
      "\t\t<rom name=\"prom\" size=\"512\" status=\"nodump\"/><rom name=\"nocrc\" size=\"1\"/>\n"
      "\t\t<disk name=\"hdd\" sha1=\"00\"/>\r"
      "\t</game>\r\n"
      "\t<machine\r\n"
      "\t\tname=\"m &lt;1&gt; &#x30B2;\"><rom name=\"caf\xC3\xA9\" size=\"16\" crc=\"0000000a\"/>"
      "</machine>\r\n"
      "\t<game name=\"badsize\"><rom name=\"b\" size=\"16 \" crc=\"0000000b\"/></game>\r\n"
      "\t<game name=\"samples only\"><sample name=\"1.wav\"/></game>\r\n"
      "</datafile>\r\n";
  DatFile dat;
  ASSERT_TRUE(ReadXmlDat(std::span<char>(text), &dat));
  EXPECT_EQ(dat.format, DatFormat::kLogiqx);
  EXPECT_EQ(dat.system(), "Arcade & \xC3\x89mulation");
  EXPECT_EQ(Describe(dat),
            "[Super Game (Rev 1.1)@5 sg.1=2048/8E68533E shared.2=2048/29E10A81]"
            "[m <1> \xE3\x82\xB2@11 caf\xC3\xA9=16/0000000A][badsize@13! b=0/00000000]"
            "[samples only@14]");
}

TEST(DatXmlReaderTest, SoftwareListsReadEveryDataAreaOfEveryPart) {
  std::string text =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE softwarelist SYSTEM \"softwarelist.dtd\">\n"
      "<softwarelist name=\"demo\" description=\"Demo Cartridges\">\n"
      "\t<software name=\"quest\">\n"
      "\t\t<description>Quest</description><info name=\"alt_title\" value=\"x\"/>\n"
      "\t\t<part name=\"cart\" interface=\"demo_cart\">\n"
      "\t\t\t<dataarea name=\"rom\" size=\"0x30000\">\n"
      "\t\t\t\t<rom name=\"quest.lo\" size=\"0x20000\" crc=\"fde08d6d\" offset=\"0\"/>\n"
      "\t\t\t\t<rom size=\"0x10000\" offset=\"0x20000\" loadflag=\"continue\"/>\n"
      "\t\t\t</dataarea>\n"
      "\t\t\t<dataarea name=\"prg\"><rom name=\"quest.prg\" size=\"16\" crc=\"73614660\"/>"
      "</dataarea>\n"
      "\t\t\t<diskarea name=\"cdrom\"><disk name=\"cd\" sha1=\"00\"/></diskarea>\n"
      "\t\t</part>\n"
      "\t\t<part name=\"disk2\"><dataarea name=\"rom\">"
      "<rom name=\"quest.d2\" size=\"1\" crc=\"00000001\"/></dataarea></part>\n"
      "\t</software>\n"
      "</softwarelist>\n";
  DatFile dat;
  ASSERT_TRUE(ReadXmlDat(std::span<char>(text), &dat));
  EXPECT_EQ(dat.format, DatFormat::kSoftwareList);
  EXPECT_EQ(dat.system(), "Demo Cartridges");
  EXPECT_EQ(Describe(dat),
            "[quest@4 quest.lo=131072/FDE08D6D quest.prg=16/73614660 quest.d2=1/00000001]");
}

}  // namespace
}  // namespace cartidex
