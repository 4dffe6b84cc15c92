#include "romdb/dat_xml_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "romdb/dat_describe.h"

namespace cartidex {
namespace {

TEST(DatXmlReaderTest, LogiqxGamesAndMachines) {
  // CR LF line ends: the line numbers must still count each pair once.
  std::string text =
      "<?xml version=\"1.0\"?>\r\n"
      "<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN\" "
      "\"http://www.logiqx.com/Dats/datafile.dtd\">\r\n"
      "<datafile>\r\n"
      "\t<header><name>Arcade &amp; More</name><description>x</description></header>\r\n"
      "\t<game name=\"Super Game (Rev 1.1)\">\r\n"
      "\t\t<description>Super</description>\r\n"
      "\t\t<rom name=\"sg.1\" size=\"2048\" crc=\"8e68533e\"/>\r\n"
      "\t\t<rom name=\"shared.2\" merge=\"shared.2\" size=\"0x800\" crc=\"29E10A81\"/>\r\n"
      "\t\t<rom name=\"prom\" size=\"512\" status=\"nodump\"/>\r\n"
      "\t\t<rom name=\"nocrc\" size=\"512\"/>\r\n"
      "\t\t<disk name=\"hdd\" sha1=\"00\"/>\r\n"
      "\t</game>\r\n"
      "\t<machine\r\n"
      "\t\tname=\"m &lt;1&gt;\"><rom name=\"m.1\" size=\"16\" crc=\"0000000a\"/></machine>\r\n"
      "\t<game name=\"badsize\"><rom name=\"b\" size=\"16 \" crc=\"0000000b\"/></game>\r\n"
      "\t<game name=\"samples only\"><sample name=\"1.wav\"/></game>\r\n"
      "</datafile>\r\n";
  DatFile dat;
  ASSERT_TRUE(ReadXmlDat(std::span<char>(text), &dat));
  EXPECT_EQ(dat.format, DatFormat::kLogiqx);
  EXPECT_EQ(dat.system(), "Arcade & More");
  EXPECT_EQ(Describe(dat),
            (std::vector<std::string>{
                "Super Game (Rev 1.1)@5: sg.1/2048/8E68533E shared.2/2048/29E10A81",
                "m <1>@13: m.1/16/0000000A", "badsize@15!: b/0/00000000", "samples only@16:"}));
}

TEST(DatXmlReaderTest, SoftwareListsReadEveryDataArea) {
  std::string text =
      "<?xml version=\"1.0\"?>\n"
      "<!DOCTYPE softwarelist SYSTEM \"softwarelist.dtd\">\n"
      "<!-- a comment -->\n"
      "<softwarelist name=\"demo\" description=\"Demo Cartridges\">\n"
      "\t<software name=\"quest\">\n"
      "\t\t<description>Quest</description>\n"
      "\t\t<info name=\"alt_title\" value=\"\xE3\x82\xAF\xE3\x82\xA8\xE3\x82\xB9\xE3\x83\x88\"/>\n"
      "\t\t<part name=\"cart\" interface=\"demo_cart\">\n"
      "\t\t\t<dataarea name=\"rom\" size=\"0x30000\">\n"
      "\t\t\t\t<rom name=\"quest.lo\" size=\"0x20000\" crc=\"fde08d6d\" offset=\"0\"/>\n"
      "\t\t\t\t<rom size=\"0x10000\" offset=\"0x20000\" loadflag=\"continue\"/>\n"
      "\t\t\t</dataarea>\n"
      "\t\t\t<dataarea name=\"prg\" size=\"16\">\n"
      "\t\t\t\t<rom name=\"quest.prg\" size=\"16\" crc=\"73614660\"/>\n"
      "\t\t\t</dataarea>\n"
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
  EXPECT_EQ(Describe(dat), (std::vector<std::string>{"quest@5: quest.lo/131072/FDE08D6D "
                                                     "quest.prg/16/73614660 quest.d2/1/00000001"}));
}

TEST(DatXmlReaderTest, NonAsciiNamesKeepTheirUtf8Bytes) {
  std::string text =
      "<datafile><header><name>\xC3\x89mulation</name></header>"
      "<game name=\"Caf\xC3\xA9 &#x30B2;\xE3\x83\xBC\xE3\x83\xA0\">"
      "<rom name=\"caf\xC3\xA9.bin\" size=\"4\" crc=\"DEADBEEF\"/></game></datafile>";
  DatFile dat;
  ASSERT_TRUE(ReadXmlDat(std::span<char>(text), &dat));
  EXPECT_EQ(dat.system(), "\xC3\x89mulation");
  ASSERT_EQ(dat.games().size(), 1u);
  EXPECT_EQ(dat.games()[0].name, "Caf\xC3\xA9 \xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0");
  EXPECT_EQ(dat.roms(dat.games()[0])[0].name, "caf\xC3\xA9.bin");
}

TEST(DatXmlReaderTest, BrokenXmlAndOtherRootsAreRefused) {
  for (const char* text : {
           "",
           "<datafile><game name=\"g\"><rom name=\"a\" size=\"1\" crc=\"00000001\"/></datafile>",
           "<datafile><game name=\"g\"><rom name=\"a\" size=\"1\" crc=\"00000001\"/></game>",
           "<datafile><game name=\"g></game></datafile>",
           "<?xml version=\"1.0\"?><html><body/></html>",
           "<?xml version=\"1.0\"?><!-- nothing else -->",
       }) {
    std::string copy = text;
    DatFile dat;
    EXPECT_FALSE(ReadXmlDat(std::span<char>(copy), &dat)) << text;
  }
}

}  // namespace
}  // namespace cartidex
