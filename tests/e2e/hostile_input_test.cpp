// cartidex-cli over names with blanks, line ends, leading dashes and bytes that are no UTF-8:
// every byte of a name reaches the log and the disk unchanged.
#ifndef _WIN32
#include <algorithm>

#include "e2e/cli_fixture.h"

namespace cartidex::test {
namespace {

// A database name with a Latin-1 byte, a blank and dashes.
const std::string kTetrisName = "T\xE9tris -J-.gb";

using CliHostileInputTest = CliTest;

TEST_F(CliHostileInputTest, NamesWithBlanksLineEndsDashesAndOddBytesKeepEveryByte) {
  WriteFile(home.Path("datfiles/games.cxi"),
            "#console#;Game Boy\r\n" + RomLine(kTetrisName, kTetris));
  const std::string w = work.path() + "/", t = work.path() + "/t/";
  const std::string dash = w + "-x y.bin";
  WriteFile(dash, kTetris);
  const std::pair<std::string, std::string> kUnknown[] = {
      {"new\nline.bin", "no rom at all"},
      {"d/--rename", "an option's name"},
      {"d/\xE6\x97\xA5\xE6\x9C\xAC.bin", "utf-8"},
      {"d/\xFF\xFE \xE9.bin", "latin and worse"}};
  for (const auto& [name, contents] : kUnknown) WriteFile(w + name, contents);
  CliRun run =
      Cli({"--rename", "--subdirs", "--move-known", t + "<system>", "--move-unknown", t + "unknown",
           "single", dash, "single", w + "new\nline.bin", "directory", w + "d"});
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

}  // namespace
}  // namespace cartidex::test

#endif  // !_WIN32: such names cannot stand in Windows file names, and the rights are POSIX ones.
