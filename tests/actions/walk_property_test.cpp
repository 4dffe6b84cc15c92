// Random folder trees walked with random options: afterwards every original file still exists
// exactly once, and replaying the log's move lines on the original tree gives the tree on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <random>
#include <set>
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

std::map<std::string, std::string> TreeOnDisk(const std::string& root) {
  std::map<std::string, std::string> tree;
  for (const std::string& rel : ListTree(root)) {
    tree[root + kSeparator + NativePath(rel)] = ReadFile(root + kSeparator + NativePath(rel));
  }
  return tree;
}

std::string Normal(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
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

    // Replay the log on the original tree.
    std::map<std::string, std::string> expected = before;
    for (const std::string& line : ActionLines(home.Log())) {
      ASSERT_FALSE(line.starts_with("Renamed")) << line;  // nothing here is identified
      if (!line.starts_with(" Moved: ")) continue;
      size_t to = line.find(" To: ");
      // Targets may be written with "." and ".."; the tree holds no links, so the lexical
      // form names the same file.
      std::string from_path = Normal(line.substr(8, to - 8));
      std::string to_path = Normal(line.substr(to + 5));
      auto it = expected.find(from_path);
      ASSERT_NE(it, expected.end()) << line;
      std::string contents = it->second;
      expected.erase(it);
      ASSERT_EQ(expected.count(to_path), 0u) << line;
      expected[to_path] = contents;
    }
    std::map<std::string, std::string> after = TreeOnDisk(dir.path());
    EXPECT_EQ(after, expected);
    // Every original file's contents exist exactly once.
    std::multiset<std::string> was, is;
    for (const auto& [p, c] : before) was.insert(c);
    for (const auto& [p, c] : after) is.insert(c);
    EXPECT_EQ(was, is);
    for (int id : {kIdFilenameField, kIdNameField, kIdCrcField, kIdSizeField}) {
      EXPECT_EQ(view.GetText(id), "Several");
    }
  }
}

}  // namespace
}  // namespace cartidex::test
