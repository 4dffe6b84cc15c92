// Sets loaded from collectors' DATs behave exactly as the same sets in the own format: the same
// identification, archive sets, renames, moves and lists, byte for byte.
#include "e2e/cli_fixture.h"
#include "support/fault_scenario.h"

namespace cartidex::test {
namespace {

// The sets Super Game (Rev 1.1) of Sonic 1 and 2, Solo of Tetris and Missing Game of Columns,
// which no test file holds. The Logiqx DAT adds a ROM that was never dumped.
const std::string kOwnFormat =
    "#console#;Test System\r\n" +
    SetLine("Super Game (Rev 1.1).zip", {{"sonic1.bin", kSonic1}, {"sonic2.bin", kSonic2}}) +
    SetLine("Solo.zip", {{"tetris.gb", kTetris}}) +
    SetLine("Missing Game.zip", {{"columns.md", kColumns}});
const char kLogiqx[] =
    "<?xml version=\"1.0\"?>\n<datafile>\n<header><name>Test System</name></header>\n"
    "<game name=\"Super Game (Rev 1.1)\"><rom name=\"sonic1.bin\" size=\"20\" crc=\"22222222\"/>"
    "<rom name=\"sonic2.bin\" size=\"24\" crc=\"33333333\"/>"
    "<rom name=\"prom\" size=\"32\" status=\"nodump\"/></game>\n"
    "<game name=\"Solo\"><rom name=\"tetris.gb\" size=\"16\" crc=\"11111111\"/></game>\n"
    "<machine name=\"Missing Game\"><rom name=\"columns.md\" size=\"12\" crc=\"44444444\"/>"
    "</machine>\n</datafile>\n";
const char kClrMamePro[] =
    "clrmamepro (\n\tname \"Test System\"\n)\n\ngame (\n\tname \"Super Game (Rev 1.1)\"\n"
    "\trom ( name sonic1.bin size 20 crc 22222222 )\n"
    "\trom ( name sonic2.bin size 24 crc 33333333 )\n)\n\n"
    "game (\n\tname \"Solo\"\n\trom ( name tetris.gb size 16 crc 11111111 )\n)\n\n"
    "machine (\n\tname \"Missing Game\"\n\trom ( name columns.md size 12 crc 44444444 )\n)\n";
const char kSoftwareList[] =
    "<?xml version=\"1.0\"?>\n<softwarelist name=\"test\" description=\"Test System\">\n"
    "<software name=\"Super Game (Rev 1.1)\"><part name=\"cart\" interface=\"x\">"
    "<dataarea name=\"rom\" size=\"0x100\"><rom name=\"sonic1.bin\" size=\"20\" crc=\"22222222\"/>"
    "<rom name=\"sonic2.bin\" size=\"24\" crc=\"33333333\"/></dataarea></part></software>\n"
    "<software name=\"Solo\"><part name=\"cart\" interface=\"x\"><dataarea name=\"rom\" "
    "size=\"0x100\"><rom name=\"tetris.gb\" size=\"16\" crc=\"11111111\"/></dataarea></part>"
    "</software>\n<software name=\"Missing Game\"><part name=\"cart\" interface=\"x\">"
    "<dataarea name=\"rom\" size=\"0x100\"><rom name=\"columns.md\" size=\"12\" crc=\"44444444\"/>"
    "</dataarea></part></software>\n</softwarelist>\n";

// Everything a user can see of one session over the same files, with the datafile's name and
// the run's folders taken out.
std::string Session(const std::string& datafile, const std::string& contents) {
  CliFolders s;
  WriteFile(s.home.Path("datfiles/" + datafile), contents);
  WriteZip(s.work.Path("in/sg.zip"),
           {ZipMember("sonic1.bin", kSonic1), ZipMember("sonic2.bin", kSonic2, 8)});
  WriteFile(s.work.Path("in/x.bin"), kTetris);
  WriteFile(s.work.Path("in/other.bin"), "no rom at all");
  CliRun run = s.Cli({"--rename", "--move-known", NativePath("sorted/<system>"), "--move-unknown",
                      "unknown", "directory", "in", "generate", "lists"});
  std::string seen = run.out + run.log;
  for (const TempDir* dir : {&s.home, &s.work}) {
    for (const std::string& file : ListTree(dir->path())) {
      if (file.starts_with("datfiles/") || file == "kept.txt") continue;
      seen += "\n[" + file + "]\n" + ReadFile(dir->Path(file));
    }
  }
  seen = ReplaceAll(ReplaceAll(seen, s.home.path(), "HOME"), s.work.path(), "WORK");
  return ReplaceAll(seen, datafile, "DATAFILE");
}

TEST(DatSetsTest, EveryFormatActsLikeTheOwnFormat) {
  const std::string own = Session("sets.cxi", kOwnFormat);
  // The own format's session is the reference: check that it did the work.
  EXPECT_NE(own.find(" Found set: Super Game (Rev 1.1).zip\r\n"), std::string::npos) << own;
  EXPECT_NE(own.find("[sorted/Test System/Super Game (Rev 1.1).zip]"), std::string::npos);
  EXPECT_NE(own.find("[sorted/Test System/tetris.gb]"), std::string::npos);
  EXPECT_NE(own.find("[unknown/other.bin]"), std::string::npos);
  EXPECT_NE(own.find("Owning Test System sets:\r\n\r\nSuper Game (Rev 1.1)\r\n"),
            std::string::npos);
  EXPECT_NE(own.find("Missing Test System sets:\r\n\r\nSolo\r\nMissing Game\r\n"),
            std::string::npos);
  EXPECT_EQ(Session("sets.dat", kLogiqx), own);
  EXPECT_EQ(Session("sets.dat", kClrMamePro), own);
  EXPECT_EQ(Session("sets.xml", kSoftwareList), own);
}

}  // namespace
}  // namespace cartidex::test
