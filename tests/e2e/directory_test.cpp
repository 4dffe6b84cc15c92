// "directory" and "generate" through cartidex-cli: the whole log, byte for byte, the fields, the
// trees after the renames and moves, and the list files.
#include "e2e/cli_fixture.h"
#include "platform/path.h"

namespace cartidex::test {
namespace {

using CliDirectoryTest = CliTest;

TEST_F(CliDirectoryTest, IdentifiedTreeRenamedMovedAndListed) {
  // Sets before any system are the system "Unknown"; the runs of one system are gathered.
  WriteFile(home.Path("datfiles/0.cxi"), "Before Any (v1.0).bin;4;00000001\r\n");
  WriteFile(home.Path("datfiles/1.cxi"), kNestedGamesDatafile1);
  WriteFile(home.Path("datfiles/2.cxi"), kNestedGamesDatafile2);
  const std::string pack = StoredZip({{"sonic1.bin", kSonic1}, {"sonic2.bin", kSonic2}});
  // Half a set: an unknown archive, moved whole and not renamed.
  const std::string partial = StoredZip({{"sonic1.bin", kSonic1}});
  WriteFile(work.Path("in/dump.bin"), kTetris);
  WriteFile(work.Path("in/junk.txt"), "junk");
  WriteFile(work.Path("in/pack.zip"), pack);
  WriteFile(work.Path("in/partial.zip"), partial);
  WriteFile(work.Path("in/sub/zelda.bin"), kZelda);
  // A single file whose new name and target are taken: both files stay as they are.
  WriteFile(work.Path("one/dump.bin"), kTetris);
  WriteFile(work.Path("one/Tetris.gb"), "other");
  WriteFile(home.Path("sorted/Nintendo/Game Boy/dump.bin"), "in the way");
  WriteFile(work.Path("lists/Sega_have.txt"), "from an earlier run, much longer\r\n");

  CliRun run = Cli({"--rename", "--subdirs", "--move-known", NativePath("sorted/<system>"),
                    "--move-unknown", NativePath("unknown/<system>"), "directory", "in", "generate",
                    "lists", "single", NativePath("one/dump.bin")});
  const std::string in = work.Path("in/"), one = work.Path("one/");
  const std::string gb = NativePath("sorted/Nintendo/Game Boy/"),
                    unknown = NativePath("unknown/Unknown/");
  EXPECT_EQ(
      run.log,
      StartLog({"0.cxi", "1.cxi", "2.cxi"}) + OpenedLine(in + "dump.bin", kTetris, true) +
          "Renamed: " + in + "dump.bin To: " + in + "Tetris.gb\r\n Moved: " + in +
          "Tetris.gb To: " + gb + "Tetris.gb\r\n" + OpenedLine(in + "junk.txt", "junk", false) +
          " Moved: " + in + "junk.txt To: " + unknown + "junk.txt\r\nFile unzipped: " + in +
          "pack.zip\r\n Containing:\r\n" + Member("sonic1.bin", kSonic1, true) +
          Member("sonic2.bin", kSonic2, true) + " Found set: Sonic Pack.zip\r\n\r\nRenamed: " + in +
          "pack.zip To: " + in + "Sonic Pack.zip\r\n Moved: " + in + "Sonic Pack.zip To: " +
          NativePath("sorted/Sega/Sonic Pack.zip") + "\r\nFile unzipped: " + in +
          "partial.zip\r\n Containing:\r\n" + Member("sonic1.bin", kSonic1, true) +
          " No set found\r\n\r\n Moved: " + in + "partial.zip To: " + unknown + "partial.zip\r\n" +
          OpenedLine(in + NativePath("sub/zelda.bin"), kZelda, true) + "Renamed: " + in +
          NativePath("sub/zelda.bin To: ") + in + NativePath("sub/Zelda.gb") + "\r\n Moved: " + in +
          NativePath("sub/Zelda.gb To: ") + gb + "Zelda.gb\r\n" +
          OpenedLine(one + "dump.bin", kTetris, true) + "Rename failed: " + one +
          "dump.bin To: " + one + "Tetris.gb\r\n Move failed: " + one + "dump.bin To: " + gb +
          "dump.bin\r\n" + kQuitted);
  const std::string walked =
      Fields(5, "Several", "Several", "Nintendo\\Game Boy", "Several", "Several");
  EXPECT_EQ(run.out,
            Fields(5) + walked + walked +
                Fields(5, "dump.bin", "Tetris.gb", "Nintendo\\Game Boy", "11111111", "16"));
  EXPECT_EQ(Contents(home.Path("sorted")), (Files{{"Nintendo/Game Boy/Tetris.gb", kTetris},
                                                  {"Nintendo/Game Boy/Zelda.gb", kZelda},
                                                  {"Nintendo/Game Boy/dump.bin", "in the way"},
                                                  {"Sega/Sonic Pack.zip", pack}}));
  EXPECT_EQ(Contents(home.Path("unknown")),
            (Files{{"Unknown/junk.txt", "junk"}, {"Unknown/partial.zip", partial}}));
  EXPECT_EQ(ListTree(work.Path("in")), Lines{});
  EXPECT_EQ(Contents(work.Path("one")), (Files{{"Tetris.gb", "other"}, {"dump.bin", kTetris}}));
  EXPECT_EQ(Contents(work.Path("lists")),
            (Files{{"Nintendo_Game Boy_have.txt", "Owning Nintendo\\Game Boy sets:\r\n\r\n"},
                   {"Nintendo_Game Boy_miss.txt",
                    "Missing Nintendo\\Game Boy sets:\r\n\r\nTetris\r\nZelda\r\n"},
                   {"Sega_have.txt", "Owning Sega sets:\r\n\r\nSonic Pack\r\n"},
                   {"Sega_miss.txt", "Missing Sega sets:\r\n\r\nColumns\r\n"},
                   {"Unknown_have.txt", "Owning Unknown sets:\r\n\r\n"},
                   {"Unknown_miss.txt", "Missing Unknown sets:\r\n\r\nBefore Any (v1.0)\r\n"}}));
}

}  // namespace
}  // namespace cartidex::test
