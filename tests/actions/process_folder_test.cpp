// The folder walk over real folders, and the have and missing lists where system texts meet as
// file names. The files walked match no datafile, so they are the "unknown" ones. Folders that
// cannot be listed, the lists' bytes and the faults of writing them are pinned end to end and by
// the fault runs.
#include "actions/process_folder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "actions/set_lists.h"
#include "app/headless_view.h"
#include "platform/activity_log.h"
#include "platform/path.h"
#include "romdb/rom_database.h"
#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

// Records the information line at each KeepAlive call and answers false from call `stop_at` on
// (0: never).
class CountingView : public HeadlessView {
 public:
  bool KeepAlive() override {
    info_lines.push_back(GetText(kIdInfoLine));
    return stop_at == 0 || info_lines.size() < stop_at;
  }
  size_t stop_at = 0;
  Lines info_lines;
};

class ProcessFolderTest : public ::testing::Test {
 protected:
  // Writes the files, walks `folder` with subfolders, moving unknown files to dir_/`target`, and
  // gives the log's lines but the identification lines, without their "\r\n".
  Lines Walk(const Lines& files, const std::string& target, const std::string& folder) {
    for (const std::string& f : files) WriteFile(dir_.Path(f), f);
    view_.SetChecked(kIdSubdirs, true);
    view_.SetChecked(kIdMoveUnknown, true);
    view_.SetText(kIdMoveUnknownField, dir_.Path(target));
    ProcessFolder(&view_, folder, {});
    Lines lines;
    std::istringstream log(home_.Log());
    for (std::string line; std::getline(log, line);) {
      if (!line.starts_with("Opened: ")) lines.push_back(line.substr(0, line.size() - 1));
    }
    return lines;
  }
  std::string Moved(const std::string& from, const std::string& to) {
    return " Moved: " + dir_.Path(from) + " To: " + dir_.Path(to);
  }

  TestHome home_;
  TempDir dir_;
  CountingView view_;
};

// b.bin was sorted by an earlier run; the files moved into the walked folder are not handled
// twice; a trailing separator is not doubled.
TEST_F(ProcessFolderTest, DepthFirstInListingOrderSkippingDotNamesAndFilesHandled) {
  EXPECT_EQ(
      Walk(
          {"in/a.bin", "in/m/c.bin", "in/m/n/d.bin", "in/out/B/b.bin", "in/z.bin", "in/.git/e.bin"},
          "in/out/<c1>", dir_.Path("in") + kSeparator),
      (Lines{Moved("in/a.bin", "in/out/A/a.bin"), Moved("in/m/c.bin", "in/out/C/c.bin"),
             Moved("in/m/n/d.bin", "in/out/D/d.bin"), Moved("in/out/B/b.bin", "in/out/B/b.bin"),
             Moved("in/z.bin", "in/out/Z/z.bin")}));
  EXPECT_EQ(view_.info_lines, (Lines{"1 files handled", "2 files handled", "3 files handled",
                                     "4 files handled", "5 files handled"}));
  EXPECT_EQ(ListTree(dir_.Path("in")).front(), ".git/e.bin");
}

TEST_F(ProcessFolderTest, TheProgramsOwnFilesAreNeverTouched) {
  WriteLog("before the walk\r\n");
  home_.AddDatafile("mine.cxi", "#console#;S\r\n");
  WriteFile(home_.Path("tmp/member.bin"), "m");
  WriteFile(home_.Path("stray.bin"), "s");
  Walk({}, "out", home_.path());
  Walk({}, "out", home_.Path("datfiles"));
  EXPECT_EQ(ListTree(home_.path()), (Lines{"datfiles/mine.cxi", "log.txt", "tmp/member.bin"}));
  EXPECT_EQ(ListTree(dir_.path()), Lines{"out/stray.bin"});
}

TEST_F(ProcessFolderTest, KeepAliveSayingNoStopsTheWalkAfterTheCurrentFile) {
  view_.stop_at = 2;
  Walk({"in/a.bin", "in/b/c.bin", "in/b/d.bin", "in/e.bin"}, "out", dir_.Path("in"));
  EXPECT_EQ(view_.info_lines.size(), 2u);
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"in/b/d.bin", "in/e.bin", "out/a.bin", "out/c.bin"}));
}

TEST(SetListsTest, SystemTextsMadeFileNamesNeverOverwriteEachOther) {
  // A system and a set of it.
  const std::pair<const char*, const char*> kSets[] = {{"Nintendo/Game Boy", "One"},
                                                       {"Nintendo_Game Boy", "Two"},
                                                       {"Sega\\Mega", "Three"},
                                                       {"Sega\\Mega", ""},
                                                       {"sega_Mega", "Lower"}};
  for (const bool ids_readable : {true, false}) {
    TestHome home;
    TempDir dir;
    for (uint32_t i = 0; i < std::size(kSets); ++i) {
      const ParsedRom rom{"r", 10 + i, 0x1000 + i};
      ASSERT_EQ(Database().AddSet(kSets[i].second, std::span(&rom, 1), kSets[i].first), nullptr);
    }
    FaultEnv faults;
    ScopedEnv scoped(&faults);
    if (!ids_readable) faults.FailPathsContaining(EnvOp::kGetFileId, "Game Boy");
    WriteSetLists(dir.Path("lists"), {});
    const std::string lists = dir.Path("lists/");
    EXPECT_EQ(ReadFile(lists + "Nintendo_Game Boy_miss.txt"),
              "Missing Nintendo/Game Boy sets:\r\n\r\nOne\r\n");
    // A datafile's '\\' nests systems on every platform, as in the "<system>" code.
    EXPECT_EQ(ReadFile(lists + "Sega_Mega_miss.txt"),
              "Missing Sega\\Mega sets:\r\n\r\nThree\r\n.zip\r\n");
    std::string log = "List not written: " + lists + "Nintendo_Game Boy_have.txt\r\n" +
                      "List not written: " + lists + "Nintendo_Game Boy_miss.txt\r\n";
#ifdef _WIN32
    // Here letter case folds: "sega_Mega_miss.txt" names Sega\Mega's file.
    log += "List not written: " + lists + "sega_Mega_have.txt\r\nList not written: " + lists +
           "sega_Mega_miss.txt\r\n";
#endif
    EXPECT_EQ(home.Log(), log);
  }
}

}  // namespace
}  // namespace cartidex::test
