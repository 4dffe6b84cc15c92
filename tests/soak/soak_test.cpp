// The whole program run 100 times in one process: a start-up, an archive and a plain file
// identified, a walk with rename and both moves that carries a mixed tree from one side to the
// other, the lists written, the close. Under a leak checker (LeakSanitizer, or Valgrind's memcheck
// in its own stage) it must leak nothing; the open handles must not grow, `tmp` must end empty.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "app/cli_options.h"
#include "app/cli_runner.h"
#include "support/game_library.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

TEST(SoakTest, HundredRunsLeakNoHandleAndLeaveTmpEmpty) {
  TempDir home, work;
  WriteFile(home.Path("datfiles/games.cxi"), kGamesDatafile);
  WriteFile(work.Path("a/tetris.bin"), kTetris);
  WriteFile(work.Path("a/deep/er/zelda.bin"), kZelda);
  WriteFile(work.Path("a/junk.txt"), "no rom at all");
  WriteFile(work.Path("a/empty.bin"), "");
  WriteZip(work.Path("a/sonic.zip"),
           {ZipMember("sonic1.bin", kSonic1, 8), ZipMember("dir/sonic2.bin", kSonic2, 8)});
  WriteFile(work.Path("a/half.zip"), StoredZip({{"sonic1.bin", kSonic1}, {"x", "x"}}));
  WriteFile(work.Path("single.zip"), StoredZip({{"sonic1.bin", kSonic1}, {"s2", kSonic2}}));
  WriteFile(work.Path("single.bin"), kColumns);
  long handles = 0;
  for (int run = 0; run < 100; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    const std::string from = work.Path(run % 2 == 0 ? "a" : "b");
    const std::string to = work.Path(run % 2 == 0 ? "b" : "a");
    CliPlan plan;
    std::string error;
    ASSERT_TRUE(ParseCliArgs(
        {"--home", home.path(), "single", work.Path("single.zip"), "single",
         work.Path("single.bin"), "--rename", "--subdirs", "--move-known", to + "/<system>",
         "--move-unknown", to + "/unknown", "directory", from, "generate", work.Path("lists")},
        work.path(), &plan, &error))
        << error;
    std::string out;
    RunCliPlan(plan, [&](std::string_view text) { out += text; });
    ASSERT_NE(out.find("Filename: Several"), std::string::npos);
    EXPECT_EQ(ListTree(home.Path("tmp")), Lines{});
    EXPECT_EQ(ListTree(to),
              (Lines{"Game Boy/Tetris.gb", "Game Boy/Zelda.gb", "Mega Drive/Sonic Pack.zip",
                     "unknown/empty.bin", "unknown/half.zip", "unknown/junk.txt"}));
    EXPECT_EQ(ListTree(from), Lines{});
    EXPECT_EQ(ListTree(work.Path("lists")).size(), 4u);
    const long open = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    if (run == 0) handles = open;
    EXPECT_EQ(open, handles);
  }
}

}  // namespace
}  // namespace cartidex::test
