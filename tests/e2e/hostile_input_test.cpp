// cartidex-cli over what users' collections really hold: names with blanks, line ends, leading
// dashes and bytes that are no UTF-8; files and folders the user may not read or change (the run
// drops root's rights, which would read everything). Every byte of a name reaches the log and the
// disk unchanged, and every failure is logged as one.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "support/game_library.h"
#include "support/run_cli.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// A database name with a Latin-1 byte, a blank and dashes.
const std::string kTetrisName = "T\xE9tris -J-.gb";

const std::string kStartLog =
    "Cartidex starting\r\nCartidex intialised\r\nRedirection installed\r\n"
    "Directory \"tmp\" emptied\r\nLoading datafiles :\r\n - games.cxi\r\n"
    "Datafiles loaded\r\nShowing dialogbox\r\n\r\n";

class CliHostileInputTest : public ::testing::Test {
 protected:
  CliHostileInputTest() {
    WriteFile(home_.Path("datfiles/games.cxi"),
              "#console#;Game Boy\r\n" + kTetrisName + ";16;11111111\r\n");
  }
  CliRun Run(std::vector<std::string> args, const std::string& cli = CARTIDEX_CLI,
             const std::vector<std::string>& prefix = {}) {
    args.insert(args.begin(), {"--home", home_.path(), "--keep-log", keep_.Path("log")});
    args.insert(args.begin(), cli);
    args.insert(args.begin(), prefix.begin(), prefix.end());
    const std::string program = args.front();
    args.erase(args.begin());
    return RunCli(program, args, work_.path());
  }
  std::string Log() { return ReadFile(keep_.Path("log")); }

  TempDir home_, work_, keep_;
};

TEST_F(CliHostileInputTest, NamesWithBlanksLineEndsDashesAndOddBytesKeepEveryByte) {
#ifdef _WIN32
  GTEST_SKIP() << "line ends and bytes that are not UTF-8 cannot stand in Windows file names";
#else
  const std::string w = work_.path() + "/";
  const std::string dash = w + "-x y.bin", line = w + "new\nline.bin";
  WriteFile(dash, kTetris);
  WriteFile(line, "no rom at all");
  WriteFile(w + "d/--rename", "an option's name");
  WriteFile(w + "d/\xFF\xFE \xE9.bin", "latin and worse");
  WriteFile(w + "d/\xE6\x97\xA5\xE6\x9C\xAC.bin", "utf-8");
  const std::string t = work_.Path("t") + "/";

  CliRun run = Run({"--rename", "--move-known", t + "<system>", "--move-unknown", t + "unknown",
                    "single", dash, "single", line, "directory", w + "d"});
  ASSERT_EQ(run.status, 0) << run.err;
  // A line end in a name is shown escaped, so that the state lines stay lines.
  EXPECT_NE(run.out.find("Filename: new\\x0Aline.bin\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Filename: " + kTetrisName + "\n"), std::string::npos) << run.out;
  EXPECT_EQ(
      Log(),
      kStartLog + OpenedLine(dash, kTetris, true) + "Renamed: " + dash + " To: " + w + kTetrisName +
          "\r\n Moved: " + w + kTetrisName + " To: " + t + "Game Boy/" + kTetrisName + "\r\n" +
          OpenedLine(line, "no rom at all", false) + " Moved: " + line + " To: " + t +
          "unknown/new\nline.bin\r\n" + OpenedLine(w + "d/--rename", "an option's name", false) +
          " Moved: " + w + "d/--rename To: " + t + "unknown/--rename\r\n" +
          OpenedLine(w + "d/\xE6\x97\xA5\xE6\x9C\xAC.bin", "utf-8", false) + " Moved: " + w +
          "d/\xE6\x97\xA5\xE6\x9C\xAC.bin To: " + t + "unknown/\xE6\x97\xA5\xE6\x9C\xAC.bin\r\n" +
          OpenedLine(w + "d/\xFF\xFE \xE9.bin", "latin and worse", false) + " Moved: " + w +
          "d/\xFF\xFE \xE9.bin To: " + t + "unknown/\xFF\xFE \xE9.bin\r\nCartidex quitted");
  EXPECT_EQ(ListTree(work_.Path("t")),
            (Lines{"Game Boy/" + kTetrisName, "unknown/--rename", "unknown/new\nline.bin",
                   "unknown/\xE6\x97\xA5\xE6\x9C\xAC.bin", "unknown/\xFF\xFE \xE9.bin"}));
  EXPECT_EQ(ReadFile(t + "Game Boy/" + kTetrisName), kTetris);
#endif
}

#ifndef _WIN32
// Makes `path` (and nothing below it) accessible to everybody.
void OpenToAll(const std::string& path) {
  fs::permissions(path, fs::perms::all, fs::perm_options::replace);
}
#endif

TEST_F(CliHostileInputTest, FilesAndFoldersTheUserMayNotReadOrChangeFailAndAreLogged) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX permissions and setpriv";
#else
  if (::geteuid() != 0 || !fs::exists("/usr/bin/setpriv")) GTEST_SKIP() << "needs root";
  // The user the run becomes must reach the program and everything it is meant to reach.
  const std::string cli = keep_.Path("cartidex-cli");
  fs::copy_file(CARTIDEX_CLI, cli);
  const std::string w = work_.path() + "/";
  WriteFile(w + "in/locked.bin", "cannot be read");
  WriteFile(w + "in/sealed/inside.bin", "in a folder that cannot be listed");
  WriteFile(w + "in/ro/known.bin", kTetris);
  WriteFile(w + "in/ro/other.bin", "stays where it is");
  WriteFile(w + "in/z.bin", "an ordinary file");
  for (const std::string& p : {home_.path(), home_.Path("datfiles"), home_.Path("tmp"),
                               work_.path(), w + "in", keep_.path(), cli}) {
    if (!fs::exists(p)) fs::create_directory(p);
    OpenToAll(p);
  }
  for (const char* f : {"in/ro/known.bin", "in/ro/other.bin", "in/z.bin"}) {
    fs::permissions(w + f, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  }
  OpenToAll(home_.Path("datfiles/games.cxi"));
  fs::permissions(w + "in/locked.bin", fs::perms::none);
  fs::permissions(w + "in/sealed", fs::perms::none);
  fs::permissions(w + "in/ro", fs::perms::owner_read | fs::perms::owner_exec |
                                   fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);

  const std::string t = w + "t/";
  CliRun run =
      Run({"--subdirs", "--rename", "--move-known", t + "<system>", "--move-unknown", t + "unknown",
           "directory", w + "in"},
          cli, {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(
      Log(),
      kStartLog + "Cannot read: " + w + "in/locked.bin\r\n Moved: " + w + "in/locked.bin To: " + t +
          "unknown/locked.bin\r\n" + OpenedLine(w + "in/ro/known.bin", kTetris, true) +
          "Rename failed: " + w + "in/ro/known.bin To: " + w + "in/ro/" + kTetrisName +
          "\r\n Move failed: " + w + "in/ro/known.bin To: " + t + "Game Boy/known.bin\r\n" +
          OpenedLine(w + "in/ro/other.bin", "stays where it is", false) + " Move failed: " + w +
          "in/ro/other.bin To: " + t + "unknown/other.bin\r\nCannot list: " + w + "in/sealed/\r\n" +
          OpenedLine(w + "in/z.bin", "an ordinary file", false) + " Moved: " + w +
          "in/z.bin To: " + t + "unknown/z.bin\r\nCartidex quitted");
  // Nothing lost: every file is where the log says.
  EXPECT_EQ(ListTree(w + "in"), (Lines{"ro/known.bin", "ro/other.bin", "sealed/inside.bin"}));
  EXPECT_EQ(ListTree(t), (Lines{"unknown/locked.bin", "unknown/z.bin"}));
  EXPECT_EQ(ReadFile(w + "in/ro/known.bin"), kTetris);
#endif
}

}  // namespace
}  // namespace cartidex::test
