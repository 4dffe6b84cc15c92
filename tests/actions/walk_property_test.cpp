// Random trees of matching ROMs, complete and incomplete archives, unknown files, dot names and
// colliding names, walked with random options: afterwards every original file's contents exist
// exactly once, and replaying the log's success lines on the original tree gives the tree on disk.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "actions/process_folder.h"
#include "app/headless_view.h"
#include "platform/path.h"
#include "romdb/datafile_loader.h"
#include "support/fault_scenario.h"
#include "support/game_library.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

TEST(WalkPropertyTest, FilesSurviveOnceAndTheLogTellsWhatHappened) {
  const std::vector<std::string> kContents = {
      kTetris,
      kColumns,
      kZelda,
      StoredZip({{"sonic1.bin", kSonic1}, {"sonic2.bin", kSonic2}}),
      StoredZip({{"sonic1.bin", kSonic1}}),
      StoredZip({{"t.gb", kTetris}}),
      "not a rom",
      ""};
  const char* const kNames[] = {
      "a.bin", "Tetris.gb", "x.zip", "Sonic Pack.zip", ".dot", "c",
#ifndef _WIN32
      "A.BIN"  // names differing in case only are one file on Windows
#endif
  };
  const char* const kFolders[] = {"d1", "d2", "Sub"};
  const char* const kTargets[] = {"out/<system>/<c1>", "in/<system>", "in/d1",       "out", "",
                                  "out/<name>",        "in/<c2>",     "in/Sub/../d2"};
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    TestHome home;
    home.AddDatafile("1.cxi", kNestedGamesDatafile1);
    home.AddDatafile("2.cxi", kNestedGamesDatafile2);
    LoadDatafiles();
    TempDir dir;
    std::mt19937 rng(seed);
    Tree before;
    std::vector<std::string> folders = {dir.Path("in")};
    for (int i = 0; i < 4; ++i) {
      folders.push_back(folders[rng() % folders.size()] + kSeparator + kFolders[rng() % 3]);
    }
    for (int i = 0; i < 12; ++i) {
      const std::string path =
          folders[rng() % folders.size()] + kSeparator + kNames[rng() % std::size(kNames)];
      if (before.count(path) != 0) continue;
      before[path] = kContents[rng() % kContents.size()];
      WriteFile(path, before[path]);
    }
    MakeDirs(dir.Path("in"));

    HeadlessView view;
    view.SetChecked(kIdSubdirs, rng() % 2 == 0);
    view.SetChecked(kIdRename, rng() % 2 == 0);
    for (auto [box, field] : {std::pair{kIdMoveKnown, kIdMoveKnownField},
                              std::pair{kIdMoveUnknown, kIdMoveUnknownField}}) {
      view.SetChecked(box, rng() % 3 != 0);
      std::string target = kTargets[rng() % std::size(kTargets)];
      view.SetText(field, target.empty() ? target : dir.Path(target));
    }
    ProcessFolder(&view, dir.Path("in"));

    std::string bad;
    // Targets may be written with "." and ".."; the trees hold no links.
    const Tree promised = ReplaySuccessLines(home.Log(), before, &bad, /*lexical=*/true);
    EXPECT_EQ(bad, "");
    Tree after;
    for (const std::string& file : ListTree(dir.path())) {
      after[dir.Path(file)] = ReadFile(dir.Path(file));
    }
    EXPECT_EQ(after, promised);  // the replay only moves files: none is lost or doubled
  }
}

}  // namespace
}  // namespace cartidex::test
