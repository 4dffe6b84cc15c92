// Rename, move, walk and lists with real identification: forged ROMs and stored zip archives
// that match a test datafile.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "actions/process_file.h"
#include "actions/process_folder.h"
#include "actions/set_lists.h"
#include "actions/walk_test_util.h"
#include "identify/session_state.h"
#include "platform/path.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"
#include "support/game_library.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

class IdentifiedActionsTest : public ::testing::Test {
 protected:
  IdentifiedActionsTest() {
    home_.AddDatafile("1.cxi", kNestedGamesDatafile1);
    home_.AddDatafile("2.cxi", kNestedGamesDatafile2);
    LoadDatafiles();
    log_start_ = home_.Log().size();
  }
  std::string Log() { return home_.Log().substr(log_start_); }

  TestHome home_;
  TempDir dir_;
  CountingView view_;
  size_t log_start_ = 0;
};

TEST_F(IdentifiedActionsTest, RenameThenMoveWithCodesOfTheNewName) {
  WriteFile(dir_.Path("in/dump.bin"), kTetris);
  view_.SetChecked(kIdRename, true);
  view_.SetChecked(kIdMoveKnown, true);
  view_.SetText(kIdMoveKnownField, dir_.Path("out/<system>/<c1>"));

  ProcessFile(dir_.Path("in/dump.bin"), &view_);

  const std::string renamed = dir_.Path("in/Tetris.gb");
  const std::string moved = dir_.Path("out/Nintendo/Game Boy/T/Tetris.gb");
  EXPECT_EQ(Log(), OpenedLine(dir_.Path("in/dump.bin"), kTetris, true) +
                       "Renamed: " + dir_.Path("in/dump.bin") + " To: " + renamed +
                       "\r\n Moved: " + renamed + " To: " + moved + "\r\n");
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"out/Nintendo/Game Boy/T/Tetris.gb"}));
  EXPECT_EQ(ReadFile(moved), kTetris);
  EXPECT_EQ(Session().current_path, moved);
  EXPECT_EQ(view_.GetText(kIdFilenameField), "Tetris.gb");
  EXPECT_EQ(view_.GetText(kIdSystemField), "Nintendo\\Game Boy");
}

TEST_F(IdentifiedActionsTest, RenameCollisionKeepsBothAndMovesTheIdentifiedFile) {
  WriteFile(dir_.Path("in/dump.bin"), kTetris);
  WriteFile(dir_.Path("in/Tetris.gb"), "a file that only has the name");
  view_.SetChecked(kIdRename, true);
  view_.SetChecked(kIdMoveKnown, true);
  view_.SetText(kIdMoveKnownField, dir_.Path("out"));

  ProcessFile(dir_.Path("in/dump.bin"), &view_);

  EXPECT_EQ(Log(), OpenedLine(dir_.Path("in/dump.bin"), kTetris, true) + "Rename failed: " +
                       dir_.Path("in/dump.bin") + " To: " + dir_.Path("in/Tetris.gb") +
                       "\r\n Moved: " + dir_.Path("in/dump.bin") +
                       " To: " + dir_.Path("out/dump.bin") + "\r\n");
  EXPECT_EQ(ReadFile(dir_.Path("in/Tetris.gb")), "a file that only has the name");
  EXPECT_EQ(ReadFile(dir_.Path("out/dump.bin")), kTetris);
  EXPECT_EQ(view_.GetText(kIdFilenameField), "dump.bin");
}

TEST_F(IdentifiedActionsTest, WalkThenListsGatherSystemsOfSeveralRuns) {
  WriteFile(dir_.Path("in/gb/t.zip"), StoredZip({{"t.gb", kTetris}}));
  WriteFile(dir_.Path("in/gb/z.zip"), StoredZip({{"z.gb", kZelda}}));
  WriteFile(dir_.Path("in/pack.zip"),
            StoredZip({{"a/sonic1.bin", kSonic1}, {"b/sonic2.bin", kSonic2}}));
  WriteFile(dir_.Path("in/columns.md"), kColumns);  // a plain file never makes a set owned
  view_.SetChecked(kIdSubdirs, true);

  ProcessFolder(&view_, dir_.Path("in"));
  WriteSetLists(dir_.Path("lists"));

  EXPECT_EQ(ReadFile(dir_.Path("lists/Nintendo_Game Boy_have.txt")),
            "Owning Nintendo\\Game Boy sets:\r\n\r\nTetris\r\nZelda\r\n");
  EXPECT_EQ(ReadFile(dir_.Path("lists/Nintendo_Game Boy_miss.txt")),
            "Missing Nintendo\\Game Boy sets:\r\n\r\n");
  EXPECT_EQ(ReadFile(dir_.Path("lists/Sega_have.txt")), "Owning Sega sets:\r\n\r\nSonic Pack\r\n");
  EXPECT_EQ(ReadFile(dir_.Path("lists/Sega_miss.txt")), "Missing Sega sets:\r\n\r\nColumns\r\n");
  EXPECT_EQ(view_.info_lines.back(), "4 files handled");
}

// Random trees of matching ROMs, complete and incomplete archives, unknown files and colliding
// names, walked with random options: every original file's contents still exist exactly once,
// and replaying the log's success lines on the original tree gives the tree on disk.
TEST(IdentifiedWalkPropertyTest, FilesSurviveOnceAndTheLogTellsWhatHappened) {
  const std::vector<std::string> kContents = {
      kTetris,
      kColumns,
      kZelda,
      StoredZip({{"sonic1.bin", kSonic1}, {"sonic2.bin", kSonic2}}),
      StoredZip({{"sonic1.bin", kSonic1}}),
      StoredZip({{"t.gb", kTetris}}),
      "not a rom at all",
  };
  const char* const kNames[] = {"a.bin", "Tetris.gb", "x.zip", "Sonic Pack.zip", "b.md", "c"};
  const char* const kFolders[] = {"d1", "d2", "Sub"};
  const char* const kTargets[] = {"out/<system>/<c1>", "in/<system>", "in/d1", "out", "",
                                  "out/<name>"};
  for (uint32_t seed = 1; seed <= 25; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    TestHome home;
    home.AddDatafile("1.cxi", kNestedGamesDatafile1);
    home.AddDatafile("2.cxi", kNestedGamesDatafile2);
    LoadDatafiles();
    TempDir dir;
    std::mt19937 rng(seed);
    std::map<std::string, std::string> before;
    std::vector<std::string> folders = {dir.Path("in")};
    for (int i = 0; i < 4; ++i) {
      folders.push_back(folders[rng() % folders.size()] + kSeparator + kFolders[rng() % 3]);
    }
    for (int i = 0; i < 12; ++i) {
      std::string path =
          folders[rng() % folders.size()] + kSeparator + kNames[rng() % std::size(kNames)];
      if (before.count(path) != 0) continue;
      std::string contents = kContents[rng() % kContents.size()];
      WriteFile(path, contents);
      before[path] = contents;
    }
    MakeDirs(dir.Path("in"));

    CountingView view;
    view.SetChecked(kIdSubdirs, rng() % 2 == 0);
    view.SetChecked(kIdRename, rng() % 2 == 0);
    for (auto [box, field] : {std::pair{kIdMoveKnown, kIdMoveKnownField},
                              std::pair{kIdMoveUnknown, kIdMoveUnknownField}}) {
      view.SetChecked(box, rng() % 3 != 0);
      std::string target = kTargets[rng() % std::size(kTargets)];
      view.SetText(field, target.empty() ? target : dir.Path(target));
    }

    ProcessFolder(&view, dir.Path("in"));

    ExpectLogReplaysToTree(before, home.Log(), dir.path());
  }
}

}  // namespace
}  // namespace cartidex::test
