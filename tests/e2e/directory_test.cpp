// "directory" through cartidex-cli: log bytes, the fields and the trees afterwards. The files
// here are empty, which no identification can take for a ROM, so every one is an unknown file
// that logs no identification line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/path.h"
#include "support/run_cli.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

const char kStartLog[] =
    "Cartidex starting\r\nCartidex intialised\r\nRedirection installed\r\n"
    "Directory \"tmp\" emptied\r\nLoading datafiles :\r\nDatafiles loaded\r\n"
    "Showing dialogbox\r\n\r\n";
const char kEmptyState[] =
    "Filename: \nName: \nSystem: \nCRC32: \nSize: \nInfo: No roms in database\n\n";
const char kAfterWalk[] =
    "Filename: Several\nName: Several\nSystem: Error\nCRC32: Several\nSize: Several\n"
    "Info: No roms in database\n\n";

class CliDirectoryTest : public ::testing::Test {
 protected:
  CliDirectoryTest() {
    MakeDirs(home_.Path("datfiles"));
    for (const char* f : {"in/b.bin", "in/a.bin", "in/.hidden", "in/sub/c.bin"}) {
      WriteFile(work_.Path(f), "");
    }
  }
  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--home", home_.path(), "--keep-log", work_.Path("kept.txt")});
    return RunCli(CARTIDEX_CLI, args, work_.path());
  }
  std::string Log() { return ReadFile(work_.Path("kept.txt")); }

  TempDir home_, work_;
};

TEST_F(CliDirectoryTest, RelativeTargetWithCodesLiesInTheProgramsFolder) {
  CliRun run =
      Run({"--subdirs", "--move-unknown", NativePath("sorted/<system>/<c1>"), "directory", "in"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, std::string(kEmptyState) + kAfterWalk);
  const std::string in = work_.Path("in/");
  EXPECT_EQ(Log(), std::string(kStartLog) + " Moved: " + in +
                       "a.bin To: " + NativePath("sorted/Unknown/A/a.bin") + "\r\n" +
                       " Moved: " + in + "b.bin To: " + NativePath("sorted/Unknown/B/b.bin") +
                       "\r\n" + " Moved: " + in +
                       NativePath("sub/c.bin To: sorted/Unknown/C/c.bin") + "\r\nCartidex quitted");
  EXPECT_EQ(ListTree(home_.Path("sorted")),
            (Lines{"Unknown/A/a.bin", "Unknown/B/b.bin", "Unknown/C/c.bin"}));
  EXPECT_EQ(ListTree(work_.Path("in")), (Lines{".hidden"}));
}

TEST_F(CliDirectoryTest, WithoutSubfoldersAndOptionsTakenBackInOrder) {
  CliRun run = Run({"--move-unknown", work_.Path("out"), "--no-subdirs", "directory", "in",
                    "--no-move-unknown", "--subdirs", "directory", "in"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, std::string(kEmptyState) + kAfterWalk + kAfterWalk);
  EXPECT_EQ(Log(), std::string(kStartLog) + " Moved: " + work_.Path("in/a.bin") +
                       " To: " + work_.Path("out/a.bin") + "\r\n Moved: " + work_.Path("in/b.bin") +
                       " To: " + work_.Path("out/b.bin") + "\r\nCartidex quitted");
  EXPECT_EQ(ListTree(work_.Path("in")), (Lines{".hidden", "sub/c.bin"}));
}

TEST_F(CliDirectoryTest, EmptyTargetAndCollisionsFailAndAreLogged) {
  WriteFile(work_.Path("out/b.bin"), "already here");
  CliRun run = Run({"--move-unknown", "", "directory", "in", "--move-unknown", work_.Path("out"),
                    "directory", "in"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string in = work_.Path("in/");
  const std::string root(1, kSeparator);
  EXPECT_EQ(Log(), std::string(kStartLog) + " Move failed: " + in + "a.bin To: " + root +
                       "a.bin\r\n" + " Move failed: " + in + "b.bin To: " + root + "b.bin\r\n" +
                       " Moved: " + in + "a.bin To: " + work_.Path("out/a.bin") +
                       "\r\n Move failed: " + in + "b.bin To: " + work_.Path("out/b.bin") +
                       "\r\nCartidex quitted");
  EXPECT_EQ(ReadFile(work_.Path("out/b.bin")), "already here");
  EXPECT_EQ(ReadFile(work_.Path("in/b.bin")), "");
}

}  // namespace
}  // namespace cartidex::test
