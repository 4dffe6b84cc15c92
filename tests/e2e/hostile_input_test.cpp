// cartidex-cli over what collections hold: names with blanks, line ends, leading dashes and bytes
// that are no UTF-8; files and folders the user may not read or change (the run drops root's
// rights). Every byte of a name reaches the log and the disk unchanged; every failure is logged.
#ifndef _WIN32
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "e2e/cli_fixture.h"

namespace cartidex::test {
namespace {

namespace fs = std::filesystem;

// A database name with a Latin-1 byte, a blank and dashes.
const std::string kTetrisName = "T\xE9tris -J-.gb";

class CliHostileInputTest : public CliTest {
 protected:
  CliHostileInputTest() {
    WriteFile(home.Path("datfiles/games.cxi"),
              "#console#;Game Boy\r\n" + RomLine(kTetrisName, kTetris));
  }
  const std::string w = work.path() + "/", t = work.path() + "/t/";
  const Lines options = {"--rename",     "--subdirs",      "--move-known",
                         t + "<system>", "--move-unknown", t + "unknown"};
};

TEST_F(CliHostileInputTest, NamesWithBlanksLineEndsDashesAndOddBytesKeepEveryByte) {
  const std::string dash = w + "-x y.bin";
  WriteFile(dash, kTetris);
  const std::pair<std::string, std::string> kUnknown[] = {
      {"new\nline.bin", "no rom at all"},
      {"d/--rename", "an option's name"},
      {"d/\xE6\x97\xA5\xE6\x9C\xAC.bin", "utf-8"},
      {"d/\xFF\xFE \xE9.bin", "latin and worse"}};
  for (const auto& [name, contents] : kUnknown) WriteFile(w + name, contents);
  Lines args = options;
  args.insert(args.end(), {"single", dash, "single", w + "new\nline.bin", "directory", w + "d"});

  CliRun run = Cli(args);
  // A line end in a name is shown escaped, so that the state lines stay lines.
  EXPECT_NE(run.out.find("Filename: new\\x0Aline.bin\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Filename: " + kTetrisName + "\n"), std::string::npos) << run.out;
  std::string log = StartLog({"games.cxi"}) + OpenedLine(dash, kTetris, true) + "Renamed: " + dash +
                    " To: " + w + kTetrisName + "\r\n Moved: " + w + kTetrisName + " To: " + t +
                    "Game Boy/" + kTetrisName + "\r\n";
  Lines moved = {"Game Boy/" + kTetrisName};
  for (const auto& [name, contents] : kUnknown) {
    const std::string base = name.substr(name.rfind('/') + 1);
    log += OpenedLine(w + name, contents, false) + " Moved: " + w + name + " To: " + t +
           "unknown/" + base + "\r\n";
    moved.push_back("unknown/" + base);
  }
  EXPECT_EQ(run.log, log + kQuitted);
  std::sort(moved.begin(), moved.end());
  EXPECT_EQ(ListTree(t), moved);
  EXPECT_EQ(ReadFile(t + "Game Boy/" + kTetrisName), kTetris);
}

TEST_F(CliHostileInputTest, FilesAndFoldersTheUserMayNotReadOrChangeFailAndAreLogged) {
  if (::geteuid() != 0 || !fs::exists("/usr/bin/setpriv")) GTEST_SKIP() << "needs root";
  WriteFile(w + "in/locked.bin", "cannot be read");
  WriteFile(w + "in/sealed/inside.bin", "in a folder that cannot be listed");
  WriteFile(w + "in/ro/known.bin", kTetris);
  WriteFile(w + "in/ro/other.bin", "stays where it is");
  WriteFile(w + "in/z.bin", "an ordinary file");
  // The user the run becomes reaches the program and what it is meant to reach.
  const std::string cli = w + "cartidex-cli";
  fs::copy_file(CARTIDEX_CLI, cli);
  MakeDirs(home.Path("tmp"));
  for (const std::string& p : {home.path(), home.Path("datfiles"), home.Path("tmp"),
                               home.Path("datfiles/games.cxi"), work.path(), w + "in", cli}) {
    fs::permissions(p, fs::perms::all);
  }
  for (const char* f : {"in/ro/known.bin", "in/ro/other.bin", "in/z.bin"}) {
    fs::permissions(w + f, fs::perms(0444));
  }
  fs::permissions(w + "in/ro", fs::perms(0555));
  fs::permissions(w + "in/locked.bin", fs::perms::none);
  fs::permissions(w + "in/sealed", fs::perms::none);
  Lines args = {"--reuid=nobody", "--regid=nogroup", "--clear-groups", cli,
                "--home",         home.path(),       "--keep-log",     w + "kept.txt"};
  args.insert(args.end(), options.begin(), options.end());
  args.insert(args.end(), {"directory", w + "in"});

  CliRun run = RunCli("/usr/bin/setpriv", args, work.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(w + "kept.txt"),
            StartLog({"games.cxi"}) + "Cannot read: " + w + "in/locked.bin\r\n Moved: " + w +
                "in/locked.bin To: " + t + "unknown/locked.bin\r\n" +
                OpenedLine(w + "in/ro/known.bin", kTetris, true) + "Rename failed: " + w +
                "in/ro/known.bin To: " + w + "in/ro/" + kTetrisName + "\r\n Move failed: " + w +
                "in/ro/known.bin To: " + t + "Game Boy/known.bin\r\n" +
                OpenedLine(w + "in/ro/other.bin", "stays where it is", false) + " Move failed: " +
                w + "in/ro/other.bin To: " + t + "unknown/other.bin\r\nCannot list: " + w +
                "in/sealed/\r\n" + OpenedLine(w + "in/z.bin", "an ordinary file", false) +
                " Moved: " + w + "in/z.bin To: " + t + "unknown/z.bin\r\n" + kQuitted);
  // Nothing lost: every file is where the log says.
  EXPECT_EQ(ListTree(w + "in"), (Lines{"ro/known.bin", "ro/other.bin", "sealed/inside.bin"}));
  EXPECT_EQ(ListTree(t), (Lines{"unknown/locked.bin", "unknown/z.bin"}));
  EXPECT_EQ(ReadFile(w + "in/ro/known.bin"), kTetris);
}

}  // namespace
}  // namespace cartidex::test

#endif  // !_WIN32: such names cannot stand in Windows file names, and the rights are POSIX ones.
