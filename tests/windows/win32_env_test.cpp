// What only the Win32 Env has to get right: short 8.3 aliases, file ids through other
// spellings and hard links, UTF-8 names through the narrow calls, devices.
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

TEST(Win32EnvTest, PatternsNeverMatchShortAliases) {
  TempDir dir;
  // "abcdefghij.zipx" has a short alias ending in ".ZIP", which the system's own matching of
  // "*.zip" would take.
  WriteFile(dir.Path("abcdefghij.zipx"), "x");
  WriteFile(dir.Path("longer name.zip"), "y");
  std::vector<DirEntry> entries;
  ASSERT_TRUE(RealEnv()->ListFolder(dir.path(), "*.zip", &entries).ok());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "longer name.zip");
}

TEST(Win32EnvTest, FileIdsSeeThroughSpellingsAndHardLinks) {
  TempDir dir;
  Env* env = RealEnv();
  WriteFile(dir.Path("Game.rom"), "x");
  ASSERT_TRUE(CreateHardLinkA(dir.Path("link.rom").c_str(), dir.Path("Game.rom").c_str(), nullptr));
  FileId id, link, other_case, slashes;
  ASSERT_TRUE(env->GetFileId(dir.Path("Game.rom"), &id).ok());
  ASSERT_TRUE(env->GetFileId(dir.Path("link.rom"), &link).ok());
  ASSERT_TRUE(env->GetFileId(dir.Path("GAME.ROM"), &other_case).ok());
  std::string forward = dir.Path("Game.rom");
  for (char& c : forward) {
    if (c == '\\') c = '/';
  }
  ASSERT_TRUE(env->GetFileId(forward, &slashes).ok());
  EXPECT_EQ(id, link);
  EXPECT_EQ(id, other_case);
  EXPECT_EQ(id, slashes);
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
  std::string contents;
  ASSERT_TRUE(ReadWholeFile(env, dir.Path(moved), &contents).ok());
  EXPECT_EQ(contents, "data");
}

TEST(Win32EnvTest, DevicesAreNotFiles) {
  std::unique_ptr<ReadableFile> file;
  EXPECT_FALSE(RealEnv()->OpenForRead("NUL", &file).ok());
  TempDir dir;
  EXPECT_FALSE(RealEnv()->OpenForRead(dir.Path("con.rom"), &file).ok());
}

}  // namespace
}  // namespace cartidex::test
