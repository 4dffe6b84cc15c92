// A soak: the whole program run 100 times in one process, each run a start-up, an archive and a
// plain file identified, a walk with rename and both moves over a mixed tree (which moves the
// tree from one side to the other, so every walk has all of it to handle), the lists written and
// the close. Run under a leak checker (LeakSanitizer in the sanitizer build, Valgrind's memcheck
// in its own stage), it must leak nothing; the open handles must not grow and `tmp` must be empty
// after every run.
#include <gtest/gtest.h>

#include <filesystem>
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

// Open descriptors of this process.
size_t OpenHandles() {
  size_t n = 0;
  for (auto it = fs::directory_iterator("/proc/self/fd"); it != fs::directory_iterator(); ++it) ++n;
  return n;
}

std::vector<std::string> Files(const std::string& root) {
  return fs::exists(root) ? ListTree(root) : std::vector<std::string>();
}

TEST(SoakTest, HundredRunsLeakNoHandleAndLeaveTmpEmpty) {
  TempDir home, work;
  WriteFile(home.Path("datfiles/games.cxi"), kGamesDatafile);
  WriteFile(work.Path("a/in/tetris.bin"), kTetris);
  WriteFile(work.Path("a/in/deep/er/zelda.bin"), kZelda);
  WriteFile(work.Path("a/in/junk.txt"), "no rom at all");
  WriteFile(work.Path("a/in/empty.bin"), "");
  WriteZip(work.Path("a/in/sonic.zip"),
           {ZipMember("sonic1.bin", kSonic1, 8), ZipMember("dir/sonic2.bin", kSonic2, 8)});
  WriteZip(work.Path("a/in/half.zip"), {ZipMember("sonic1.bin", kSonic1), ZipMember("x", "x")});
  WriteZip(work.Path("single.zip"), {ZipMember("sonic1.bin", kSonic1), ZipMember("s2", kSonic2)});
  WriteFile(work.Path("single.bin"), kColumns);
  const size_t files = Files(work.path()).size();

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
         work.Path("single.bin"), "--rename", "--subdirs", "--move-known", to + "/in/<system>",
         "--move-unknown", to + "/in/unknown", "directory", from, "generate", work.Path("lists")},
        work.path(), &plan, &error))
        << error;
    std::string out;
    RunCliPlan(plan, [&](std::string_view text) { out += text; });
    ASSERT_NE(out.find("Filename: Several"), std::string::npos);
    EXPECT_TRUE(Files(home.Path("tmp")).empty());
    // Every file is still there, once; the walk left nothing behind on its side.
    EXPECT_EQ(Files(work.path()).size(), files + 4);  // the lists of the two systems
    EXPECT_TRUE(Files(from).empty());
    if (run == 0) handles = OpenHandles();
    EXPECT_EQ(OpenHandles(), handles);
  }
  EXPECT_EQ(Files(work.Path("a")),
            (std::vector<std::string>{"in/Game Boy/Tetris.gb", "in/Game Boy/Zelda.gb",
                                      "in/Mega Drive/Sonic Pack.zip", "in/unknown/empty.bin",
                                      "in/unknown/half.zip", "in/unknown/junk.txt"}));
}

}  // namespace
}  // namespace cartidex::test
