// cartidex-cli from the outside: the log of a whole run, the state block, usage errors.
#include <gtest/gtest.h>

#include "support/run_cli.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

const char kExampleCxi[] =
    "#console#;Game Console\r\n"
    "Sample Set (Rev 2.0).zip:samp.u1:samp.u2;:65536:131072;:1A2B3C4D:00ff00ff\r\n"
    "Space Race.bin;32768;89ABCDEF\r\n"
    "\r\n"
    "Collection notes: two sets\r\n";

TEST(CliStartupTest, WorkedExampleLogAndInformationLine) {
  TempDir home, elsewhere;
  WriteFile(home.Path("datfiles/Example.cxi"), kExampleCxi);
  WriteFile(home.Path("tmp/left.bin"), "left by an earlier run");
  WriteFile(home.Path("tmp/.hidden"), "kept");
  WriteFile(home.Path("tmp/sub/inner.bin"), "kept");
  // A log.txt in the folder the program is started from is somebody else's file.
  WriteFile(elsewhere.Path("log.txt"), "not ours");

  CliRun run =
      RunCli(CARTIDEX_CLI, {"--home", home.path(), "--keep-log", "kept.txt"}, elsewhere.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Filename: \nName: \nSystem: \nCRC32: \nSize: \nInfo: 2 roms in database\n\n");
  EXPECT_EQ(ReadFile(elsewhere.Path("kept.txt")),
            "Cartidex starting\r\nCartidex intialised\r\nRedirection installed\r\n"
            "Directory \"tmp\" emptied\r\nLoading datafiles :\r\n - Example.cxi\r\n"
            "Datafiles loaded\r\nShowing dialogbox\r\n\r\nCartidex quitted");
  EXPECT_FALSE(Exists(home.Path("log.txt")));
  EXPECT_EQ(ReadFile(elsewhere.Path("log.txt")), "not ours");
  EXPECT_FALSE(Exists(home.Path("tmp/left.bin")));
  EXPECT_TRUE(Exists(home.Path("tmp/.hidden")));
  EXPECT_TRUE(Exists(home.Path("tmp/sub/inner.bin")));
}

TEST(CliStartupTest, ReloadShowsTheNewCountAndHelpPrintsTheText) {
  TempDir home;
  MakeDirs(home.Path("datfiles"));
  CliRun run = RunCli(CARTIDEX_CLI, {"--home", home.path(), "help", "reload"}, home.path());
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string empty_state =
      "Filename: \nName: \nSystem: \nCRC32: \nSize: \nInfo: No roms in database\n\n";
  const std::string help =
      "Help for directories\n-----------------------------\n"
      "You can modify target directories by adding codes.\n"
      "For example, for a rom called \"Test.rom\", if it has to go to \"C:\\Roms\\<c1>\\\", it "
      "will go to \"C:\\Roms\\T\\\"\n"
      "Here they are :\n"
      "- <c#> represents the caracter placed in the # position from the begging of the name\n"
      "- <system> represents the console or computer that corresponds to the rom\n"
      "- <name> represents its name\n";
  EXPECT_EQ(run.out, empty_state + help + empty_state + empty_state);
}

TEST(CliStartupTest, BadUsageRunsNothing) {
  TempDir home;
  WriteFile(home.Path("log.txt"), "previous");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--home", home.path(), "frobnicate"},
                                             {"--home", home.path(), "single"},
                                             {"--home", home.path(), "single", ""},
                                             {"--home", home.path(), "single", "no-such-file"},
                                             {"--home", home.path(), "directory", "no-such-folder"},
                                             {"--home", home.path(), "--move-known"},
                                             {"--home"}}) {
    CliRun run = RunCli(CARTIDEX_CLI, args, home.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("cartidex-cli: "), std::string::npos);
    EXPECT_EQ(ReadFile(home.Path("log.txt")), "previous");
  }
}

}  // namespace
}  // namespace cartidex::test
