// The whole program run 100 times in one process over a mixed tree carried from one side to the
// other. Under a leak checker it must leak nothing; open handles must not grow, `tmp` ends empty.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "app/cli_options.h"
#include "app/cli_runner.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

TEST(SoakTest, HundredRunsLeakNoHandleAndLeaveTmpEmpty) {
  TempDir home, work;
  WriteFile(home.Path("datfiles/games.cxi"), kGamesDatafile);
  WriteFile(work.Path("a/deep/er/tetris.bin"), kTetris);
  WriteFile(work.Path("a/junk.txt"), "no rom at all");
  WriteZip(work.Path("a/sonic.zip"),
           {ZipMember("sonic1.bin", kSonic1, 8), ZipMember("dir/sonic2.bin", kSonic2, 8)});
  WriteFile(work.Path("single.bin"), kColumns);
  long handles = 0;
  for (int run = 0; run < 100; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    const std::string from = work.Path(run % 2 == 0 ? "a" : "b");
    const std::string to = work.Path(run % 2 == 0 ? "b" : "a");
    CliPlan plan;
    std::string error;
    ASSERT_TRUE(ParseCliArgs({"--home", home.path(), "single", work.Path("single.bin"), "--rename",
                              "--subdirs", "--move-known", to + "/<system>", "--move-unknown",
                              to + "/unknown", "directory", from, "generate", work.Path("lists")},
                             work.path(), &plan, &error))
        << error;
    RunCliPlan(plan, CliOutput{[](std::string_view) {}, [](std::string_view) {}});
    EXPECT_TRUE(ListTree(home.Path("tmp")).empty());
    EXPECT_EQ(ListTree(to).size(), 3u);
    EXPECT_EQ(ListTree(work.Path("lists")).size(), 4u);
    const long open = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    if (run == 0) handles = open;
    EXPECT_EQ(open, handles);
  }
}

}  // namespace
}  // namespace cartidex::test
