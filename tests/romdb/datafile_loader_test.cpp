// The own datafile format line by line, and datafiles loaded as start-up loads them: the order,
// the formats, what cannot be read.
#include "romdb/datafile_loader.h"

#include <gtest/gtest.h>

#include <string>

#include "romdb/cxi_reader.h"
#include "romdb/describe.h"
#include "romdb/rom_database.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

using namespace std::string_literals;

// Parses `text` into the empty database of a program folder of its own: the tables, the log.
std::string Parse(std::string_view text) {
  test::TestHome home;
  ParseOwnDatafile(text, &Database());
  return Describe(Database()) + home.Log();
}

TEST(CxiReaderTest, LinesEndAtCrLfALoneLfALoneCrOrANul) {
  const std::string want =
      "[A.zip A.bin@Sys=1/00000001][B.zip B.bin@Sys=2/00000002][C.zip C.bin@Sys=3/00000003]";
  for (const std::string& text : {
           "#console#;Sys\r\nA.bin;1;1\r\nB.bin;2;2\r\n\r\nC.bin;3;3\r\n"s,
           // Mixed ends, a byte-order mark, and a last line without an end.
           "\xEF\xBB\xBF#console#;Sys\nA.bin;1;1\r\rB.bin;2;2\n\rC.bin;3;3"s,
           // A NUL inside a line ends it; a NUL where a line would begin ends the file.
           "#console#;Sys\0A.bin;1;1\0B.bin;2;2\r\nC.bin;3;3\r\n\0D.bin;4;4\r\n"s,
       }) {
    EXPECT_EQ(Parse(text), want) << text;
  }
}

TEST(CxiReaderTest, KindsOfLineAndTheirFields) {
  EXPECT_EQ(
      Parse("#console#;\r\n"  // an empty system
            "Empty.bin;1;2\r\n"
            "#console#\r\n"    // no second group: passed over
            "#CONSOLE#;X\r\n"  // letter case counts: a line of two groups, passed over
            " #console#;X\r\n"
            "#console#:extra;Sys:more;ignored\r\n"
            "Two;groups\r\n"
            // Set names cut at their last '.'; sizes as StrToInt reads them, CRC-32s as ParseHex.
            "Demo 1.1;0012a;123456789\r\n"
            ".cfg;-5;x@\r\n"
            "a.b.c: +5 : +5;x:+5:-1;x::1f \r\n"
            "Pair:a.bin:b.bin;x:10:20;y:0A:0B;extra\r\n"
            "T:a.bin:;x:5:;y:1F:\r\n"      // a trailing ':' makes a field
            "\xEF\xBB\xBFmid.bin;1;1\r\n"  // a byte-order mark later on is a name's
            "Semis;;;;\r\n"
            // Fields that are not read (field 0 of the sizes and CRC-32s of a set with named ROMs,
            // groups after the third) may be of any length.
            "P:a.bin;" +
            std::string(300, 's') + ":5;" + std::string(300, 'c') + ":6;" + std::string(5000, 'x') +
            "\r\n"),
      "[Empty.zip Empty.bin@=1/00000002][Demo 1.zip Demo 1.1@Sys=12/23456789]"
      "[.zip .cfg@Sys=4294967291/00000210][a.b.zip  +5 @Sys=5/00000000  +5@Sys=4294967295/000001F0]"
      "[Pair.zip a.bin@Sys=10/0000000A b.bin@Sys=20/0000000B]"
      "[T.zip a.bin@Sys=5/0000001F @Sys=0/00000000]"
      "[\xEF\xBB\xBFmid.zip \xEF\xBB\xBFmid.bin@Sys=1/00000001][Semis.zip Semis@Sys=0/00000000]"
      "[P.zip a.bin@Sys=5/00000006]");
}

// Sets named and ROMs listed with every capacity, at and past its limit.
std::string SetLine(const std::string& name, int roms, int sizes) {
  std::string names = name, numbers;
  for (int i = 0; i < roms; ++i) names += ":r" + std::to_string(i);
  for (int i = 0; i < sizes; ++i) numbers += ":" + std::to_string(i + 1);
  return names + ";" + numbers + ";" + numbers;
}

TEST(CxiReaderTest, LinesBeyondACapacityAreRefusedWholeAndNamed) {
  const std::string parsed = Parse("#console#;Sys\r\n" +                                   // 1
                                   SetLine("Many", 129, 129) + "\r" +                      // 2
                                   SetLine("Short", 2, 1) + "\r\n" +                       // 3
                                   "F.bin;" + std::string(260, '1') + ";1\r\n" +           // 4
                                   "#console#;" + std::string(128, 's') + "\r\n" +         // 5
                                   SetLine("x." + std::string(258, 'e'), 1, 2) + "\r\n" +  // 6
                                   SetLine("Most", 128, 129) + "\r\n" +                    // 7
                                   "Crcs:a:b;:1:2;:1\r\n");                                // 8
  EXPECT_TRUE(parsed.starts_with("[Most.zip r0@Sys=1/00000001")) << parsed.substr(0, 30);
  EXPECT_TRUE(
      parsed.ends_with(" r127@Sys=128/00000128]"
                       " ! Line 2 skipped: too many roms\r\n"
                       " ! Line 3 skipped: missing fields\r\n"
                       " ! Line 4 skipped: text too long\r\n"  // a field over 259 bytes
                       " ! Line 5 skipped: text too long\r\n"  // the system: "Sys" stays
                       " ! Line 6 skipped: text too long\r\n"  // the set's field
                       " ! Line 8 skipped: missing fields\r\n"));
}

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
  test::MakeDirs(home.Path("datfiles/folder.cxi"));
  LoadDatafiles();
  const std::string name(300, 'n');  // no file may have that name: never read through a cut path
  LoadDatafile(name);
  EXPECT_EQ(home.Log(), "Loading datafiles :\r\n - b.cxi\r\n - folder.cxi\r\nCannot read: " +
                            home.Path("datfiles/folder.cxi") +
                            "\r\n - Z.CXI\r\n"
                            " - c.dat\r\n ! Line 3 skipped: bad number\r\n - own.dat\r\n"
                            " ! Not a datafile\r\n - a.xml\r\n"
                            " - " +
                            name + "\r\n ! Path too long\r\n");
  EXPECT_EQ(
      Describe(Database()),
      "[Own Set.zip Own Set.bin@Own=16/0000ABCD][Z.zip Z.bin@Unknown=1/00000001]"
      "[Bolt (Rev 1.1).zip bolt.1@Arcade=16/0000ABCD][Pocket.zip pocket.gb@Unknown=32/00001234]");
}

}  // namespace
}  // namespace cartidex
