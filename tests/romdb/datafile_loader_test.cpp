// Datafiles loaded as start-up loads them: the order, what cannot be read, and huge lines. The
// database keeps exactly the lines that fit, and the log names every line refused.
#include "romdb/datafile_loader.h"

#include <gtest/gtest.h>

#include <string>

#include "romdb/describe.h"
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

}  // namespace
}  // namespace cartidex
