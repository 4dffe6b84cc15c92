// cartidex-cli from the outside: the log of a whole run, the scratch folder, usage errors.
#include "app/help_text.h"
#include "e2e/cli_fixture.h"

namespace cartidex::test {
namespace {

using CliStartupTest = CliTest;

TEST_F(CliStartupTest, LogOfAWholeRunTmpEmptiedAndNoLogLeft) {
  MakeDirs(home.Path("datfiles"));
  WriteFile(home.Path("tmp/left.bin"), "left by an earlier run");
  WriteFile(home.Path("tmp/.hidden"), "kept");
  WriteFile(home.Path("tmp/sub/inner.bin"), "kept");
  // A log.txt in the folder the program is started from is somebody else's file.
  WriteFile(work.Path("log.txt"), "not ours");
  CliRun run = Cli({"help", "reload"});
  EXPECT_EQ(run.out,
            Fields(0) + ReplaceAll(kHelpText, "\r\n", "\n") + "\n" + Fields(0) + Fields(0));
  EXPECT_EQ(run.log, StartLog({}) + "Loading datafiles :\r\n" + kQuitted);
  EXPECT_FALSE(Exists(home.Path("log.txt")));
  EXPECT_EQ(ReadFile(work.Path("log.txt")), "not ours");
  EXPECT_EQ(ListTree(home.Path("tmp")), (Lines{".hidden", "sub/inner.bin"}));
}

TEST_F(CliStartupTest, BadUsageRunsNothing) {
  WriteFile(home.Path("log.txt"), "previous");
  WriteFile(work.Path("file"), "");
  const std::pair<Lines, std::string> kCases[] = {
      {{"frobnicate"}, "unknown word: frobnicate"},
      {{"reload", "single"}, "missing argument after single"},
      {{"--move-known"}, "missing argument after --move-known"},
      {{"single", ""}, "empty path after single"},
      {{"single", "."}, "not an existing file: " + work.Path(".")},
      {{"directory", "file"}, "not an existing folder: " + work.Path("file")}};
  for (const auto& [args, error] : kCases) {
    CliRun run = Cli(args, 2);
    EXPECT_EQ(run.out + run.log, "");
    EXPECT_TRUE(run.err.starts_with("cartidex-cli: " + error + "\n")) << run.err;
    EXPECT_EQ(ReadFile(home.Path("log.txt")), "previous");
  }
}

}  // namespace
}  // namespace cartidex::test
