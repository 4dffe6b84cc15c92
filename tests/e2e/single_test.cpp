// cartidex-cli single: one file or archive identified as a user would, judged by the printed
// state, the log kept at exit and what the run leaves in `tmp`.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/game_library.h"
#include "support/run_cli.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

std::string Hex(const std::string& contents) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", Crc32(contents));
  return text;
}

const std::string kA = "contents of a";
const std::string kB = "bee";
const std::string kC = std::string(70000, 'c');  // several copy buffers
const std::string kSolo = "a solo rom";
const std::string kTool = "a tool";

class SingleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(home_.Path("datfiles/Example.cxi"),
              "#console#;Game Console\r\n"
              "Trio.zip:a.rom:b.rom:c.rom;:" +
                  std::to_string(kA.size()) + ":" + std::to_string(kB.size()) + ":" +
                  std::to_string(kC.size()) + ";:" + Hex(kA) + ":" + Hex(kB) + ":" + Hex(kC) +
                  "\r\n"
                  "Solo.bin;" +
                  std::to_string(kSolo.size()) + ";" + Hex(kSolo) +
                  "\r\n"
                  "#console#;Computer\r\n"
                  "Tool.bin;" +
                  std::to_string(kTool.size()) + ";" + Hex(kTool) + "\r\n");
    // Start-up leaves sub-folders of tmp alone; they are no members of any archive.
    WriteFile(home_.Path("tmp/sub/inner.bin"), "kept");
  }

  // Runs `single` on each path and keeps the log.
  CliRun Single(const std::vector<std::string>& paths) {
    std::vector<std::string> args = {"--home", home_.path(), "--keep-log", work_.Path("log")};
    for (const std::string& p : paths) {
      args.push_back("single");
      args.push_back(p);
    }
    return RunCli(CARTIDEX_CLI, args, work_.path());
  }
  std::string Log() { return ReadFile(work_.Path("log")); }

  static std::string State(const std::string& file, const std::string& name,
                           const std::string& system, const std::string& crc,
                           const std::string& size) {
    return "Filename: " + file + "\nName: " + name + "\nSystem: " + system + "\nCRC32: " + crc +
           "\nSize: " + size + "\nInfo: 3 roms in database\n\n";
  }
  std::string Member(const std::string& name, const std::string& contents, bool found) {
    return "  - " + OpenedLine(home_.Path("tmp/" + name), contents, found);
  }

  const std::string kStart =
      "Cartidex starting\r\nCartidex intialised\r\nRedirection installed\r\n"
      "Directory \"tmp\" emptied\r\nLoading datafiles :\r\n - Example.cxi\r\n"
      "Datafiles loaded\r\nShowing dialogbox\r\n\r\n";
  const std::string kEmptyState = State("", "", "", "", "");
  TempDir home_, work_;
};

TEST_F(SingleTest, CompleteArchiveIsTheSetAndClosingEmptiesTmp) {
  const std::string zip = work_.Path("my trio.zip");
  WriteZip(zip, {ZipMember("roms/c.rom", kC, 8), ZipMember("roms/", ""), ZipMember("a.rom", kA),
                 ZipMember("b.rom", kB, 8), ZipMember(".meta", "not a rom"),
                 ZipMember("tool.rom", kTool)});
  CliRun run = Single({zip});
  ASSERT_EQ(run.status, 0) << run.err;
  // The set shows its own system, not that of the tool met last.
  EXPECT_EQ(run.out,
            kEmptyState + State("my trio.zip", "Trio.zip", "Game Console", "Zipfile", "Zipfile"));
  EXPECT_EQ(Log(), kStart + "File unzipped: " + zip + "\r\n Containing:\r\n" +
                       Member("a.rom", kA, true) + Member("b.rom", kB, true) +
                       Member("c.rom", kC, true) + Member("tool.rom", kTool, true) +
                       " Found set: Trio.zip\r\n\r\nCartidex quitted");
  EXPECT_EQ(ListTree(home_.Path("tmp")), std::vector<std::string>{"sub/inner.bin"});
  EXPECT_FALSE(Exists(home_.Path("log.txt")));
}

TEST_F(SingleTest, PlainFilesFoundUnknownAndEmpty) {
  WriteFile(work_.Path("solo.bin"), kSolo);
  WriteFile(work_.Path("nothing.dat"), "matches nothing");
  WriteFile(work_.Path("empty.bin"), "");
  CliRun run = Single({work_.Path("solo.bin"), work_.Path("nothing.dat"), work_.Path("empty.bin")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kEmptyState + State("solo.bin", "Solo.bin", "Game Console", Hex(kSolo), "10") +
                         State("nothing.dat", "Unknown", "Unknown", "00000000", "") +
                         State("Error", "Error", "Error", "Error", "Error"));
  EXPECT_EQ(Log(), kStart + OpenedLine(work_.Path("solo.bin"), kSolo, true) +
                       OpenedLine(work_.Path("nothing.dat"), "matches nothing", false) +
                       "Cartidex quitted");
}

TEST_F(SingleTest, NextIdentificationDeletesWhatTheArchiveLeft) {
  const std::string zip = work_.Path("lacking.zip");
  WriteZip(zip, {ZipMember("a.rom", kA), ZipMember("z.bin", "zzz")});
  const std::string second = work_.Path("second.zip");
  WriteZip(second, {ZipMember("solo.bin", kSolo)});
  CliRun run = Single({zip, second});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kEmptyState +
                         State("lacking.zip", "Unknown", "Unknown", "Zipfile", "Zipfile") +
                         State("second.zip", "Solo.zip", "Game Console", "Zipfile", "Zipfile"));
  // The second archive's listing holds its own member only.
  EXPECT_EQ(Log(), kStart + "File unzipped: " + zip + "\r\n Containing:\r\n" +
                       Member("a.rom", kA, true) + Member("z.bin", "zzz", false) +
                       " No set found\r\n\r\nFile unzipped: " + second + "\r\n Containing:\r\n" +
                       Member("solo.bin", kSolo, true) +
                       " Found set: Solo.zip\r\n\r\nCartidex quitted");
  EXPECT_EQ(ListTree(home_.Path("tmp")), std::vector<std::string>{"sub/inner.bin"});
}

TEST_F(SingleTest, ArchiveWithAnEmptyMemberIsAnErrorAndLeavesNothingBehind) {
  const std::string zip = work_.Path("hole.zip");
  WriteZip(zip, {ZipMember("a.rom", kA), ZipMember("b-empty.rom", ""), ZipMember("c.rom", kC)});
  const std::string next = work_.Path("next.zip");
  WriteZip(next, {ZipMember("x.bin", "x")});
  CliRun run = Single({zip, next});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kEmptyState + State("Error", "Error", "Error", "Error", "Error") +
                         State("next.zip", "Unknown", "Unknown", "Zipfile", "Zipfile"));
  EXPECT_EQ(Log(), kStart + "File unzipped: " + zip + "\r\n Containing:\r\n" +
                       Member("a.rom", kA, true) + "  - File unzipped: " + next +
                       "\r\n Containing:\r\n" + Member("x.bin", "x", false) +
                       " No set found\r\n\r\nCartidex quitted");
  EXPECT_EQ(ListTree(home_.Path("tmp")), std::vector<std::string>{"sub/inner.bin"});
}

TEST_F(SingleTest, ArchivesThatCannotBeUsed) {
  const std::string odd = work_.Path("odd.zip");
  WriteZip(odd, {ZipMember("a.rom", kA), ZipMember("b.rom", kB, 14), ZipMember("c.rom", kC)});
  const std::string empty = work_.Path("empty.zip");
  WriteZip(empty, {});
  const std::string text = work_.Path("text.zip");
  WriteFile(text, "no archive at all");
  CliRun run = Single({odd, empty, text});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kEmptyState + State("Error", "Error", "Error", "Error", "Error") +
                         State("empty.zip", "Unknown", "Unknown", "00000000", "") +
                         State("text.zip", "Unknown", "Unknown", "00000000", ""));
  EXPECT_EQ(Log(), kStart + "Cannot extract: " + odd + "\r\nNo file in: " + empty +
                       "\r\n\r\nNo file in: " + text + "\r\n\r\nCartidex quitted");
  EXPECT_EQ(ListTree(home_.Path("tmp")), std::vector<std::string>{"sub/inner.bin"});
}

TEST_F(SingleTest, NestedArchiveIsOneMemberLikeAnyOther) {
  const std::string zip = work_.Path("outer.zip");
  const std::string inner = MakeZip({ZipMember("solo.bin", kSolo)});
  WriteZip(zip, {ZipMember("inner.zip", inner, 8)});
  CliRun run = Single({zip});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kEmptyState + State("outer.zip", "Unknown", "Unknown", "Zipfile", "Zipfile"));
  EXPECT_EQ(Log(), kStart + "File unzipped: " + zip + "\r\n Containing:\r\n" +
                       Member("inner.zip", inner, false) + " No set found\r\n\r\nCartidex quitted");
  EXPECT_EQ(ListTree(home_.Path("tmp")), std::vector<std::string>{"sub/inner.bin"});
}

}  // namespace
}  // namespace cartidex::test
