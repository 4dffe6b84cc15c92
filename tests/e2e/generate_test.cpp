// "generate" through cartidex-cli: the list files of every system, byte for byte. Nothing is
// identified here, so every set is missing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_cli.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

TEST(CliGenerateTest, ListsOfEverySystemWithRunsGathered) {
  TempDir home, work;
  WriteFile(home.Path("datfiles/1.cxi"),
            "Before Any.bin;4;00000001\r\n"
            "#console#;Game Console\r\n"
            "Sample Set (Rev 2.0).zip:samp.u1:samp.u2;:65536:131072;:1A2B3C4D:00ff00ff\r\n"
            "#console#;Nintendo\\Game Boy\r\n"
            "Tetris.gb;32768;12345678\r\n");
  WriteFile(home.Path("datfiles/2.cxi"),
            "#console#;Game Console\r\n"
            "Space Race.bin;32768;89ABCDEF\r\n");
  WriteFile(work.Path("lists/Game Console_have.txt"), "from an earlier run, much longer\r\n");

  CliRun run = RunCli(CARTIDEX_CLI,
                      {"--home", home.path(), "--keep-log", work.Path("kept.txt"), "generate",
                       "lists", "generate", "lists"},
                      work.path());
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string state =
      "Filename: \nName: \nSystem: \nCRC32: \nSize: \nInfo: 4 roms in database\n\n";
  EXPECT_EQ(run.out, state + state + state);
  EXPECT_EQ(ListTree(work.Path("lists")),
            (Lines{"Game Console_have.txt", "Game Console_miss.txt", "Nintendo_Game Boy_have.txt",
                   "Nintendo_Game Boy_miss.txt", "Unknown_have.txt", "Unknown_miss.txt"}));
  EXPECT_EQ(ReadFile(work.Path("lists/Game Console_have.txt")),
            "Owning Game Console sets:\r\n\r\n");
  EXPECT_EQ(ReadFile(work.Path("lists/Game Console_miss.txt")),
            "Missing Game Console sets:\r\n\r\nSample Set (Rev 2.0)\r\nSpace Race\r\n");
  EXPECT_EQ(ReadFile(work.Path("lists/Nintendo_Game Boy_miss.txt")),
            "Missing Nintendo\\Game Boy sets:\r\n\r\nTetris\r\n");
  EXPECT_EQ(ReadFile(work.Path("lists/Unknown_miss.txt")),
            "Missing Unknown sets:\r\n\r\nBefore Any\r\n");
  EXPECT_EQ(ReadFile(work.Path("kept.txt")),
            "Cartidex starting\r\nCartidex intialised\r\nRedirection installed\r\n"
            "Directory \"tmp\" emptied\r\nLoading datafiles :\r\n - 1.cxi\r\n - 2.cxi\r\n"
            "Datafiles loaded\r\nShowing dialogbox\r\n\r\nCartidex quitted");
}

}  // namespace
}  // namespace cartidex::test
