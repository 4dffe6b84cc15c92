// A soak: the whole program run 100 times in one process, each run a start-up, an archive and a
// plain file identified, a walk with rename and both moves over a mixed tree (which moves the
// tree from one side to the other, so every walk has all of it to handle), the lists written and
// the close. Run under a leak checker (LeakSanitizer in the sanitizer build, Valgrind's memcheck
// in its own stage), it must leak nothing; the open handles must not grow and `tmp` must be empty
// after every run.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "app/cli_options.h"
#include "app/cli_runner.h"
#include "support/game_library.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

namespace fs = std::filesystem;
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
  size_t handles = 0;
  for (int run = 0; run < 100; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    // Odd runs walk the tree back to where even runs found it.
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
    // Every file is still there, once; the walk left nothing behind on its side.
    EXPECT_EQ(ListTree(to),
              (Lines{"Game Boy/Tetris.gb", "Game Boy/Zelda.gb", "Mega Drive/Sonic Pack.zip",
                     "unknown/empty.bin", "unknown/half.zip", "unknown/junk.txt"}));
    EXPECT_EQ(ListTree(from), Lines{});
    EXPECT_EQ(ListTree(work.Path("lists")).size(), 4u);
    const auto open = std::distance(fs::directory_iterator("/proc/self/fd"), {});
    if (run == 0) handles = static_cast<size_t>(open);
    EXPECT_EQ(static_cast<size_t>(open), handles);
  }
}

}  // namespace
}  // namespace cartidex::test
