// What only the Windows build has to get right: file ids through other spellings and hard links,
// UTF-8 names through the narrow calls (minizip's included), devices.
#include <windows.h>
#undef DeleteFile
#undef MoveFile

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/env.h"
#include "support/test_util.h"
#include "support/zip_writer.h"
#include "zip/zip_extractor.h"

namespace cartidex::test {
namespace {

TEST(Win32Test, FileIdsSeeThroughSpellingsAndHardLinks) {
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

TEST(Win32Test, Utf8NamesPassThroughTheNarrowCalls) {
  ASSERT_EQ(GetACP(), 65001u) << "the test program's manifest was not applied";
  TempDir dir;
  const std::string name =
      "Pok\xC3\xA9mon \xE2\x80\x93 \xE3\x83\x9D\xE3\x82\xB1\xE3\x83\xA2\xE3\x83\xB3.rom";
  const std::string archive = dir.Path("Sammlung \xC3\xBC\xE3\x83\x9D/pack.zip");
  WriteFile(archive, StoredZip({{"games/" + name, "data"}}));
  ASSERT_TRUE(ZipExtractor(archive.c_str()).ExtractAllTo(dir.path().c_str(), true));
  std::vector<DirEntry> entries;
  ASSERT_TRUE(RealEnv()->ListFolder(dir.path(), "*.ROM", &entries).ok());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, name);
  const std::string moved = "\xCE\xA3\xCF\x8D\xCE\xBD\xCE\xBF\xCE\xBB\xCE\xBF.rom";
  ASSERT_TRUE(RealEnv()->MoveFile(dir.Path(name), dir.Path(moved)).ok());
  EXPECT_EQ(ReadFile(dir.Path(moved)), "data");
}

TEST(Win32Test, DevicesAreNotFiles) {
  TempDir dir;
  std::unique_ptr<ReadableFile> file;
  EXPECT_FALSE(RealEnv()->OpenForRead("NUL", &file).ok());
  EXPECT_FALSE(RealEnv()->OpenForRead(dir.Path("con.rom"), &file).ok());
}

}  // namespace
}  // namespace cartidex::test
