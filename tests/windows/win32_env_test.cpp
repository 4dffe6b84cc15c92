// What only the Win32 Env has to get right: file ids through other spellings and hard links,
// UTF-8 names through the narrow calls, devices. (Short 8.3 aliases: the platform tests' listing.)
#include <windows.h>
#undef DeleteFile
#undef MoveFile

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/env.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

TEST(Win32EnvTest, FileIdsSeeThroughSpellingsAndHardLinks) {
  TempDir dir;
  WriteFile(dir.Path("Game.rom"), "x");
  ASSERT_TRUE(CreateHardLinkA(dir.Path("link.rom").c_str(), dir.Path("Game.rom").c_str(), nullptr));
  std::string forward = dir.Path("Game.rom");
  for (char& c : forward) c = c == '\\' ? '/' : c;
  FileId id, other;
  ASSERT_TRUE(RealEnv()->GetFileId(dir.Path("Game.rom"), &id).ok());
  for (const std::string& path : {dir.Path("link.rom"), dir.Path("GAME.ROM"), forward}) {
    ASSERT_TRUE(RealEnv()->GetFileId(path, &other).ok()) << path;
    EXPECT_EQ(id, other) << path;
  }
}

TEST(Win32EnvTest, Utf8NamesPassThroughTheNarrowCalls) {
  ASSERT_EQ(GetACP(), 65001u) << "the test program's manifest was not applied";
  TempDir dir;
  Env* env = RealEnv();
  const std::string name =
      "Pok\xC3\xA9mon \xE2\x80\x93 \xE3\x83\x9D\xE3\x82\xB1\xE3\x83\xA2\xE3\x83\xB3.rom";
  ASSERT_TRUE(WriteWholeFile(env, dir.Path(name), "data").ok());
  std::vector<DirEntry> entries;
  ASSERT_TRUE(env->ListFolder(dir.path(), "*.ROM", &entries).ok());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, name);
  const std::string moved = "\xCE\xA3\xCF\x8D\xCE\xBD\xCE\xBF\xCE\xBB\xCE\xBF.rom";
  ASSERT_TRUE(env->MoveFile(dir.Path(name), dir.Path(moved)).ok());
  EXPECT_EQ(ReadFile(dir.Path(moved)), "data");
}

TEST(Win32EnvTest, DevicesAreNotFiles) {
  TempDir dir;
  std::unique_ptr<ReadableFile> file;
  EXPECT_FALSE(RealEnv()->OpenForRead("NUL", &file).ok());
  EXPECT_FALSE(RealEnv()->OpenForRead(dir.Path("con.rom"), &file).ok());
}

}  // namespace
}  // namespace cartidex::test
