// "directory" and "generate" through cartidex-cli with files that match a datafile: the whole
// log, byte for byte, the fields and the trees.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/game_library.h"
#include "support/run_cli.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

TEST(CliDirectoryIdentifiedTest, RenameMoveAndListsOfAWholeTree) {
  TempDir home, work;
  WriteFile(home.Path("datfiles/1.cxi"), kNestedGamesDatafile1);
  WriteFile(home.Path("datfiles/2.cxi"), kNestedGamesDatafile2);
  const std::string pack = StoredZip({{"sonic1.bin", kSonic1}, {"sonic2.bin", kSonic2}});
  WriteFile(work.Path("in/dump.bin"), kTetris);
  WriteFile(work.Path("in/junk.txt"), "junk");
  WriteFile(work.Path("in/pack.zip"), pack);
  // Half a set: an unknown archive, moved whole and unrenamed.
  const std::string partial = StoredZip({{"sonic1.bin", kSonic1}});
  WriteFile(work.Path("in/partial.zip"), partial);
  WriteFile(work.Path("in/sub/zelda.bin"), kZelda);

  CliRun run = RunCli(CARTIDEX_CLI,
                      {"--home", home.path(), "--keep-log", work.Path("kept.txt"), "--rename",
                       "--subdirs", "--move-known", NativePath("sorted/<system>"), "--move-unknown",
                       NativePath("unknown/<system>"), "directory", "in", "generate", "lists"},
                      work.path());
  ASSERT_EQ(run.status, 0) << run.err;

  const std::string in = work.Path("in/"), tmp = home.Path("tmp/");
  EXPECT_EQ(
      ReadFile(work.Path("kept.txt")),
      "Cartidex starting\r\nCartidex intialised\r\nRedirection installed\r\n"
      "Directory \"tmp\" emptied\r\nLoading datafiles :\r\n - 1.cxi\r\n - 2.cxi\r\n"
      "Datafiles loaded\r\nShowing dialogbox\r\n\r\n" +
          OpenedLine(in + "dump.bin", kTetris, true) + "Renamed: " + in + "dump.bin To: " + in +
          "Tetris.gb\r\n Moved: " + in +
          "Tetris.gb To: " + NativePath("sorted/Nintendo/Game Boy/Tetris.gb") + "\r\n" +
          OpenedLine(in + "junk.txt", "junk", false) + " Moved: " + in + "junk.txt To: " +
          NativePath("unknown/Unknown/junk.txt") + "\r\n" + "File unzipped: " + in +
          "pack.zip\r\n Containing:\r\n  - " + OpenedLine(tmp + "sonic1.bin", kSonic1, true) +
          "  - " + OpenedLine(tmp + "sonic2.bin", kSonic2, true) +
          " Found set: Sonic Pack.zip\r\n\r\nRenamed: " + in + "pack.zip To: " + in +
          "Sonic Pack.zip\r\n Moved: " + in +
          "Sonic Pack.zip To: " + NativePath("sorted/Sega/Sonic Pack.zip") + "\r\n" +
          "File unzipped: " + in + "partial.zip\r\n Containing:\r\n  - " +
          OpenedLine(tmp + "sonic1.bin", kSonic1, true) + " No set found\r\n\r\n Moved: " + in +
          "partial.zip To: " + NativePath("unknown/Unknown/partial.zip") + "\r\n" +
          OpenedLine(in + NativePath("sub/zelda.bin"), kZelda, true) + "Renamed: " + in +
          NativePath("sub/zelda.bin To: ") + in + NativePath("sub/Zelda.gb") + "\r\n Moved: " + in +
          NativePath("sub/Zelda.gb To: sorted/Nintendo/Game Boy/Zelda.gb") +
          "\r\nCartidex quitted");
  const std::string after_walk =
      "Filename: Several\nName: Several\nSystem: Nintendo\\Game Boy\nCRC32: Several\n"
      "Size: Several\nInfo: 4 roms in database\n\n";
  EXPECT_EQ(run.out, "Filename: \nName: \nSystem: \nCRC32: \nSize: \nInfo: 4 roms in database\n\n" +
                         after_walk + after_walk);
  EXPECT_EQ(
      ListTree(home.Path("sorted")),
      (Lines{"Nintendo/Game Boy/Tetris.gb", "Nintendo/Game Boy/Zelda.gb", "Sega/Sonic Pack.zip"}));
  EXPECT_EQ(ReadFile(home.Path("sorted/Sega/Sonic Pack.zip")), pack);
  EXPECT_EQ(ListTree(home.Path("unknown")), (Lines{"Unknown/junk.txt", "Unknown/partial.zip"}));
  EXPECT_EQ(ReadFile(home.Path("unknown/Unknown/partial.zip")), partial);
  EXPECT_EQ(ListTree(work.Path("in")), Lines{});
  EXPECT_EQ(ReadFile(work.Path("lists/Sega_have.txt")), "Owning Sega sets:\r\n\r\nSonic Pack\r\n");
  EXPECT_EQ(ReadFile(work.Path("lists/Sega_miss.txt")), "Missing Sega sets:\r\n\r\nColumns\r\n");
  EXPECT_EQ(ReadFile(work.Path("lists/Nintendo_Game Boy_miss.txt")),
            "Missing Nintendo\\Game Boy sets:\r\n\r\nTetris\r\nZelda\r\n");
}

TEST(CliDirectoryIdentifiedTest, SingleFileCollisionsAreLoggedAndBothFilesKept) {
  TempDir home, work;
  WriteFile(home.Path("datfiles/1.cxi"), "#console#;Sys\r\nGame.rom;8;12345678\r\n");
  const std::string game = ForgedRom(8, 0x12345678);
  WriteFile(work.Path("in/dump.bin"), game);
  WriteFile(work.Path("in/Game.rom"), "other");
  WriteFile(work.Path("out/dump.bin"), "in the way");

  CliRun run = RunCli(CARTIDEX_CLI,
                      {"--home", home.path(), "--keep-log", work.Path("kept.txt"), "--rename",
                       "--move-known", work.Path("out"), "single", NativePath("in/dump.bin")},
                      work.path());
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string log = ReadFile(work.Path("kept.txt"));
  const std::string tail = OpenedLine(work.Path("in/dump.bin"), game, true) +
                           "Rename failed: " + work.Path("in/dump.bin") +
                           " To: " + work.Path("in/Game.rom") +
                           "\r\n Move failed: " + work.Path("in/dump.bin") +
                           " To: " + work.Path("out/dump.bin") + "\r\nCartidex quitted";
  ASSERT_GE(log.size(), tail.size());
  EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
  EXPECT_EQ(run.out.substr(run.out.find("\n\n") + 2),
            "Filename: dump.bin\nName: Game.rom\nSystem: Sys\nCRC32: 12345678\nSize: 8\n"
            "Info: 1 roms in database\n\n");
  EXPECT_EQ(ReadFile(work.Path("in/dump.bin")), game);
  EXPECT_EQ(ReadFile(work.Path("in/Game.rom")), "other");
  EXPECT_EQ(ReadFile(work.Path("out/dump.bin")), "in the way");
}

}  // namespace
}  // namespace cartidex::test
