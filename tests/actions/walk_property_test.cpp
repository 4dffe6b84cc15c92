// Random folder trees walked with random options: afterwards every original file still exists
// exactly once, and replaying the log's move lines on the original tree gives the tree on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <random>
#include <string>

#include "actions/process_folder.h"
#include "actions/walk_test_util.h"
#include "platform/path.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

const char* const kNames[] = {"a.bin", "A.bin", "b.rom", "c", "Game.gb", ".dot", "x.zip.bak"};
const char* const kFolders[] = {"d1", "d2", "Sub", "deep"};

void MakeTree(std::mt19937* rng, const std::string& folder, int depth, int* serial,
              std::map<std::string, std::string>* files) {
  std::uniform_int_distribution<int> count(0, 4);
  for (int i = count(*rng); i > 0; --i) {
    std::string path = folder + kSeparator + kNames[(*rng)() % std::size(kNames)];
    if (files->count(path) != 0) continue;
#ifdef _WIN32
    // Names that differ in letter case only name one file here.
    auto folded = [](const std::string& a, const std::string& b) {
      return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
      });
    };
    if (std::any_of(files->begin(), files->end(),
                    [&](const auto& f) { return folded(f.first, path); })) {
      continue;
    }
#endif
    // Unique contents, so each file can be followed by what it holds.
    std::string contents = "file " + std::to_string((*serial)++) + std::string((*rng)() % 50, 'x');
    WriteFile(path, contents);
    (*files)[path] = contents;
  }
  if (depth == 0) return;
  for (int i = count(*rng) / 2; i > 0; --i) {
    MakeTree(rng, folder + kSeparator + kFolders[(*rng)() % std::size(kFolders)], depth - 1, serial,
             files);
  }
}

TEST(WalkPropertyTest, EveryFileSurvivesOnceAndTheLogTellsWhereItWent) {
  const char* const kTargets[] = {"out/<c1>",  "out", "in/<system>/<c2>",  "in/d1",
                                  "in/<name>", "",    "out/<system>/<c9>", "in/Sub/../d2"};
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    TestHome home;
    TempDir dir;
    std::mt19937 rng(seed);
    std::map<std::string, std::string> before;
    int serial = 0;
    MakeTree(&rng, dir.Path("in"), 3, &serial, &before);
    MakeDirs(dir.Path("in"));

    CountingView view;
    view.SetChecked(kIdSubdirs, rng() % 2 == 0);
    view.SetChecked(kIdRename, rng() % 2 == 0);
    view.SetChecked(kIdMoveKnown, rng() % 2 == 0);
    view.SetText(kIdMoveKnownField, dir.Path("known"));
    view.SetChecked(kIdMoveUnknown, rng() % 4 != 0);
    std::string target = kTargets[rng() % std::size(kTargets)];
    view.SetText(kIdMoveUnknownField, target.empty() ? target : dir.Path(target));

    ProcessFolder(&view, dir.Path("in"));

    // Nothing here is identified, so nothing is renamed.
    EXPECT_EQ(home.Log().find("Renamed"), std::string::npos);
    ExpectLogReplaysToTree(before, home.Log(), dir.path());
    for (int id : {kIdFilenameField, kIdNameField, kIdCrcField, kIdSizeField}) {
      EXPECT_EQ(view.GetText(id), "Several");
    }
  }
}

}  // namespace
}  // namespace cartidex::test
