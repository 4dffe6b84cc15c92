// minizip as compiled for Windows from the fetched sources opens and reads an archive whose path
// holds non-ASCII characters, through the C runtime's narrow fopen.
#include <gtest/gtest.h>
#include <unzip.h>

#include <string>

#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

TEST(MinizipWindowsTest, ReadsAnArchiveWithAUtf8Path) {
  TempDir dir;
  const std::string path = dir.Path("Sammlung \xC3\xBC\xE3\x83\x9D/pack.zip");
  WriteFile(path, StoredZip({{"games/a.rom", "cartridge bytes"}}));
  unzFile zip = unzOpen(path.c_str());
  ASSERT_NE(zip, nullptr);
  ASSERT_EQ(unzGoToFirstFile(zip), UNZ_OK);
  unz_file_info info;
  char name[64];
  ASSERT_EQ(unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0), UNZ_OK);
  EXPECT_STREQ(name, "games/a.rom");
  ASSERT_EQ(unzOpenCurrentFile(zip), UNZ_OK);
  char buffer[64];
  const int got = unzReadCurrentFile(zip, buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer, got > 0 ? got : 0), "cartridge bytes");
  EXPECT_EQ(unzCloseCurrentFile(zip), UNZ_OK);
  EXPECT_EQ(unzClose(zip), UNZ_OK);
}

}  // namespace
}  // namespace cartidex::test
