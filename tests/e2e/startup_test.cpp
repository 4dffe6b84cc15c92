// cartidex-cli from the outside: the log of a whole run, the scratch folder, usage errors.
#include "app/help_text.h"
#include "e2e/cli_fixture.h"

namespace cartidex::test {
namespace {

using CliStartupTest = CliTest;

TEST_F(CliStartupTest, LogOfAWholeRunTmpEmptiedAndNoLogLeft) {
  // One set: the information line counts sets, and reads "No" for none only.
  WriteFile(home.Path("datfiles/Example.cxi"), "#console#;Game Console\r\n" +
                                                   RomLine("Space Race.bin", kTetris) +
                                                   "\r\nCollection notes: one set\r\n");
  WriteFile(home.Path("tmp/left.bin"), "left by an earlier run");
  WriteFile(home.Path("tmp/.hidden"), "kept");
  WriteFile(home.Path("tmp/sub/inner.bin"), "kept");
  // A log.txt in the folder the program is started from is somebody else's file.
  WriteFile(work.Path("log.txt"), "not ours");
  CliRun run = Cli({"help", "reload"});
  EXPECT_EQ(run.out,
            Fields(1) + ReplaceAll(kHelpText, "\r\n", "\n") + "\n" + Fields(1) + Fields(1));
  EXPECT_EQ(run.log,
            StartLog({"Example.cxi"}) + "Loading datafiles :\r\n - Example.cxi\r\n" + kQuitted);
  EXPECT_FALSE(Exists(home.Path("log.txt")));
  EXPECT_EQ(ReadFile(work.Path("log.txt")), "not ours");
  EXPECT_EQ(ListTree(home.Path("tmp")), (Lines{".hidden", "sub/inner.bin"}));
}

TEST_F(CliStartupTest, BadUsageRunsNothing) {
  WriteFile(home.Path("log.txt"), "previous");
  for (const Lines& args :
       {Lines{"frobnicate"}, Lines{"single"}, Lines{"single", ""}, Lines{"single", "no-such-file"},
        Lines{"directory", "no-such-folder"}, Lines{"--move-known"}}) {
    Lines all = {"--home", home.path()};
    all.insert(all.end(), args.begin(), args.end());
    CliRun run = RunCli(CARTIDEX_CLI, all, home.path());
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.starts_with("cartidex-cli: ")) << run.err;
    EXPECT_EQ(ReadFile(home.Path("log.txt")), "previous");
  }
}

}  // namespace
}  // namespace cartidex::test
