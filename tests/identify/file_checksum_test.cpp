#include "identify/file_checksum.h"

#include <gtest/gtest.h>

#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

TEST(FileChecksumTest, ChunkedValueEqualsOneCallOverTheWhole) {
  TempDir dir;
  std::string contents(1000003, '\0');
  for (size_t i = 0; i < contents.size(); ++i) contents[i] = static_cast<char>(i * 7 + i / 251);
  WriteFile(dir.Path("big.bin"), contents);
  uint32_t crc = 0, size = 0;
  ASSERT_EQ(ChecksumFile(dir.Path("big.bin"), &crc, &size), ChecksumOutcome::kRead);
  EXPECT_EQ(crc, Crc32(contents));
  EXPECT_EQ(size, contents.size());
}

// Missing files, reads that break off and sizes of 4 GiB are unreadable as the identify tests
// show; an empty file is no error of reading, and a folder no file.
TEST(FileChecksumTest, EmptyFilesAndFolders) {
  TempDir dir;
  uint32_t crc = 1, size = 1;
  WriteFile(dir.Path("empty"), "");
  EXPECT_EQ(ChecksumFile(dir.Path("empty"), &crc, &size), ChecksumOutcome::kEmpty);
  EXPECT_EQ(ChecksumFile(dir.path(), &crc, &size), ChecksumOutcome::kUnreadable);
}

TEST(FileChecksumTest, OnlyTheSizeFirstTakenIsRead) {
  TempDir dir;
  WriteFile(dir.Path("file"), "0123456789abcdefghij");
  uint32_t crc = 0, size = 0;
  FaultEnv env;
  ScopedEnv scoped(&env);
  // The file grew after its size was taken: the growth is not read.
  env.ReportSize(10);
  ASSERT_EQ(ChecksumFile(dir.Path("file"), &crc, &size), ChecksumOutcome::kRead);
  EXPECT_EQ(crc, Crc32("0123456789"));
  EXPECT_EQ(size, 10u);
  // It shrank: what was read counts.
  env.ReportSize(0xFFFFFFFFu);
  ASSERT_EQ(ChecksumFile(dir.Path("file"), &crc, &size), ChecksumOutcome::kRead);
  EXPECT_EQ(crc, Crc32("0123456789abcdefghij"));
  EXPECT_EQ(size, 20u);
}

}  // namespace
}  // namespace cartidex::test
