// The tree a dry run pictures: which file stands where after the moves it announced, and where
// folders could be made.
#include "actions/dry_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "support/test_util.h"

namespace cartidex::test {
namespace {

TEST(DryRunTest, MovesTakeAndFreePathsAndFilesStandWhereFoldersWouldBeMade) {
  TempDir dir;
  Env* env = Env::Default();
  const std::string a = dir.Path("a.bin"), b = dir.Path("new/b.bin"), c = dir.Path("c.bin");
  WriteFile(a, "a");
  WriteFile(c, "c");
  DryRun dry;
  dry.Move(env, a, b);
  dry.Move(env, b, dir.Path("new/b2.bin"));           // a later step follows the file
  dry.Move(env, dir.Path("none"), dir.Path("gone"));  // nothing there: nothing moves
  EXPECT_EQ(dry.Occupant(env, dir.Path("new/b2.bin")), a);
  EXPECT_EQ(dry.Occupant(env, a), std::nullopt);
  EXPECT_EQ(dry.Occupant(env, b), std::nullopt);
  EXPECT_EQ(dry.Occupant(env, c), c);
  EXPECT_EQ(dry.Occupant(env, dir.Path("gone")), std::nullopt);
  EXPECT_EQ(dry.Occupant(env, dir.path()), dir.path());  // a folder stands there too

  const std::pair<std::string, bool> kFolders[] = {
      {dir.Path("x/y/"), true},        {dir.Path("a.bin/sub/"), true},  // freed: a folder fits
      {dir.Path("c.bin/sub/"), false}, {dir.Path("new/b2.bin/sub/"), false}, {"", false},
  };
  for (const auto& [folder, could] : kFolders) {
    EXPECT_EQ(dry.CouldMakeFolders(env, folder), could) << folder;
  }
#ifndef _WIN32
  std::filesystem::create_symlink(dir.Path("nowhere"), dir.Path("dangling"));
  EXPECT_FALSE(dry.CouldMakeFolders(env, dir.Path("dangling/sub/")));
#endif
}

}  // namespace
}  // namespace cartidex::test
