#include "romdb/cxi_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "romdb/describe.h"
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
           "#console#;Sys\nA.bin;1;1\nB.bin;2;2\n\nC.bin;3;3\n"s,
           "#console#;Sys\rA.bin;1;1\rB.bin;2;2\r\rC.bin;3;3\r"s,
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
      Parse("Before.bin;1;1\r\n"
            "#console#;\r\n"  // an empty system
            "Empty.bin;1;2\r\n"
            "#console#\r\n"    // no second group: passed over
            "#CONSOLE#;X\r\n"  // letter case counts: a line of two groups, passed over
            " #console#;X\r\n"
            "#console#:extra;Sys:more;ignored\r\n"
            "Two;groups\r\n"
            "Solo.bin;1024;ABCD\r\n"
            // Set names cut at their last '.'; sizes as StrToInt reads them, CRC-32s as ParseHex.
            "Demo 1.1;0012a;123456789\r\n"
            ".cfg;-5;x\r\n"
            "a.b.c: +5 : +5;x:+5:-1;x::1f \r\n"
            "Pair:a.bin:b.bin;x:10:20;y:0A:0B;extra\r\n"
            "T:a.bin:;x:5:;y:1F:\r\n"  // a trailing ':' makes a field
            "Set : a.bin;x:1;y:2\r\n"  // blanks belong to the fields
            "Sample Set (Rev 2.0).zip:u1:u2;:65536:131072;:1A2B3C4D:00ff00ff\r\n"
            "\xEF\xBB\xBFmid.bin;1;1\r\n"  // a byte-order mark later on is a name's
            // Bytes as they stand.
            "Caf\xE9 (\xC0\xAF):\t\x01\x7F.bin:../up.bin:a\\b/c.bin;:3:4:5;:3:4:5\r\n"
            "Semis;;;;\r\n"
            // Fields that are not read (field 0 of the sizes and CRC-32s of a set with named ROMs,
            // groups after the third) may be of any length.
            "P:a.bin;" +
            std::string(300, 's') + ":5;" + std::string(300, 'c') + ":6;" + std::string(5000, 'x') +
            "\r\n"),
      "[Before.zip Before.bin@Unknown=1/00000001][Empty.zip Empty.bin@=1/00000002]"
      "[Solo.zip Solo.bin@Sys=1024/0000ABCD][Demo 1.zip Demo 1.1@Sys=12/23456789]"
      "[.zip .cfg@Sys=4294967291/00000021][a.b.zip  +5 @Sys=5/00000000  +5@Sys=4294967295/000001F0]"
      "[Pair.zip a.bin@Sys=10/0000000A b.bin@Sys=20/0000000B]"
      "[T.zip a.bin@Sys=5/0000001F @Sys=0/00000000][Set .zip  a.bin@Sys=1/00000002]"
      "[Sample Set (Rev 2.0).zip u1@Sys=65536/1A2B3C4D u2@Sys=131072/00FF00FF]"
      "[\xEF\xBB\xBFmid.zip \xEF\xBB\xBFmid.bin@Sys=1/00000001]"
      "[Caf\xE9 (\xC0\xAF).zip \t\x01\x7F.bin@Sys=3/00000003 ../up.bin@Sys=4/00000004 "
      "a\\b/c.bin@Sys=5/00000005][Semis.zip Semis@Sys=0/00000000]"
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
  const std::string parsed = Parse(
      "#console#;Sys\r\n"  // 1
      "Keep.bin;1;1\n" +   // 2
      SetLine("Many", 129, 129) +
      "\r" +                                                  // 3
      SetLine("Short", 2, 1) + "\r\n" +                       // 4
      SetLine("Both", 200, 1) + "\r\n" +                      // 5
      "A." + std::string(126, 'e') + ";1;1\r\n" +             // 6
      SetLine("S:" + std::string(128, 'r'), 0, 1) + "\r\n" +  // 7
      "F.bin;" + std::string(260, '1') + ";1\r\n" +           // 8
      "#console#;" + std::string(128, 's') + "\r\n" +         // 9
      SetLine(std::string(124, 'n'), 1, 2) + "\r\n" +         // 10
      SetLine("x." + std::string(258, 'e'), 1, 2) + "\r\n" +  // 11
      SetLine(std::string(123, 'n'), 1, 2) + "\r\n" +         // 12
      SetLine("Most", 128, 129) + "\r\n");                    // 13
  EXPECT_TRUE(
      parsed.ends_with(" r127@Sys=128/00000128]"
                       " ! Line 3 skipped: too many roms\r\n"
                       " ! Line 4 skipped: missing fields\r\n"
                       " ! Line 5 skipped: too many roms\r\n"
                       " ! Line 6 skipped: text too long\r\n"      // the ROM's name
                       " ! Line 7 skipped: text too long\r\n"      // a ROM's name
                       " ! Line 8 skipped: text too long\r\n"      // a field over 259 bytes
                       " ! Line 9 skipped: text too long\r\n"      // the system: "Sys" stays
                       " ! Line 10 skipped: text too long\r\n"     // the set's name with its ".zip"
                       " ! Line 11 skipped: text too long\r\n"));  // the field naming the set
  EXPECT_TRUE(parsed.starts_with("[Keep.zip Keep.bin@Sys=1/00000001][" + std::string(123, 'n') +
                                 ".zip r0@Sys=1/00000001]"
                                 "[Most.zip r0@Sys=1/00000001"))
      << parsed.substr(0, 300);
}

}  // namespace
}  // namespace cartidex
