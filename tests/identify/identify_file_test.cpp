#include "identify/identify_file.h"

#include <gtest/gtest.h>

#include "identify/file_checksum.h"
#include "identify/identify_fixture.h"

namespace cartidex::test {
namespace {

using PlainFileTest = IdentifyTest;

TEST_F(PlainFileTest, TheFirstEntryMetFromTheStartIsMarkedFoundAndTheFileIsCurrent) {
  AddSet("Unrelated", "S0", {{"u.bin", "unrelated"}});  // entry 0
  const int32_t a = AddSet("A", "S1", {{"a.bin", "shared rom"}});
  const int32_t b = AddSet("B", "S2", {{"b.bin", "shared rom"}});
  const std::string path = home_.Path("roms/game file.bin");
  WriteFile(path, "shared rom");
  EXPECT_TRUE(Show(path));
  EXPECT_EQ(Fields()[1] + "|" + Fields()[2], "a.bin|S1");
  EXPECT_EQ(std::make_pair(result_.set_index, result_.slot), std::make_pair(a, 0));
  EXPECT_TRUE(Found(a) && !Found(b));
  EXPECT_EQ(Session().current_path + "|" + Session().current_system, path + "|S1");
  EXPECT_TRUE(!Session().archive_mode && Session().tally.entries.empty());

  WriteFile(home_.Path("stranger"), "no such rom");
  EXPECT_FALSE(Show(home_.Path("stranger")));
  EXPECT_EQ(std::make_pair(result_.set_index, result_.slot), std::make_pair(-1, -1));
}

TEST_F(PlainFileTest, UnreadableFilesAreErrorsThatSayWhy) {
  const std::string path = home_.Path("game.bin");
  WriteFile(path, std::string(600000, 'x'));
  {
    FaultEnv env;
    ScopedEnv scoped(&env);
    env.FailPathsContaining(EnvOp::kOpenForRead, "game.bin");
    EXPECT_FALSE(Show(path));
    env.Clear();
    env.FailNth(EnvOp::kRead, 2, "game.bin");  // a read that breaks off half-way
    EXPECT_FALSE(Show(path));
    env.Clear();
    env.ReportSize(0x100000000ull);  // 4 GiB: no ROM is that large
    EXPECT_FALSE(Show(path));
  }
  EXPECT_EQ(Fields(), std::vector<std::string>(5, "Error"));
  const std::string line = "Cannot read: " + path + "\r\n";
  EXPECT_EQ(home_.Log(), line + line + line);
}

TEST_F(PlainFileTest, OnlyTheExactLowerCaseZipExtensionMakesAnArchive) {
  AddSet("Upper", "Console", {{"GAME.ZIP", "PK not really"}});
  for (const char* name : {"GAME.ZIP", "game.Zip", "game.zip.bak", "roms.zip/game"}) {
    WriteFile(home_.Path(name), "PK not really");
    EXPECT_TRUE(Show(home_.Path(name)) && !Session().archive_mode) << name;
  }
}

TEST_F(PlainFileTest, RomsNamedUnknownOrMarkedLikeAnArchiveAreTakenAsTheyStand) {
  AddSet("Odd", "Console", {{"Unknown", "odd contents"}});
  WriteFile(home_.Path("odd.bin"), "odd contents");
  EXPECT_FALSE(Show(home_.Path("odd.bin")));  // the name "Unknown" counts as not identified
  EXPECT_EQ(Fields()[2], "Console");

  const std::string marked = ForgeCrc("marked", kArchiveMark);
  AddSet("marked", "Console", {{"marked.bin", marked}});
  WriteFile(home_.Path("marked.bin"), marked);
  EXPECT_TRUE(Show(home_.Path("marked.bin")));
  EXPECT_EQ(Fields(),
            (std::vector<std::string>{"marked.bin", "marked.bin", "Console", "FFFFFFFE", "10"}));
}

TEST(FileChecksumTest, ChunksEmptyFilesFoldersAndOnlyTheSizeFirstTaken) {
  TempDir dir;
  std::string big(1000003, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
  WriteFile(dir.Path("big.bin"), big);
  WriteFile(dir.Path("empty"), "");
  WriteFile(dir.Path("file"), "0123456789abcdefghij");
  uint32_t crc = 0, size = 0;
  ASSERT_EQ(ChecksumFile(dir.Path("big.bin"), &crc, &size), ChecksumOutcome::kRead);
  EXPECT_EQ(std::make_pair(crc, size), std::make_pair(Crc32(big), uint32_t{1000003}));
  EXPECT_EQ(ChecksumFile(dir.Path("empty"), &crc, &size), ChecksumOutcome::kEmpty);
  EXPECT_EQ(ChecksumFile(dir.path(), &crc, &size), ChecksumOutcome::kUnreadable);
  FaultEnv env;
  ScopedEnv scoped(&env);
  env.ReportSize(10);  // the file grew after its size was taken: the growth is not read
  ASSERT_EQ(ChecksumFile(dir.Path("file"), &crc, &size), ChecksumOutcome::kRead);
  EXPECT_EQ(std::make_pair(crc, size), std::make_pair(Crc32("0123456789"), 10u));
  env.ReportSize(0xFFFFFFFFu);  // it shrank: what was read counts
  ASSERT_EQ(ChecksumFile(dir.Path("file"), &crc, &size), ChecksumOutcome::kRead);
  EXPECT_EQ(std::make_pair(crc, size), std::make_pair(Crc32("0123456789abcdefghij"), 20u));
}

}  // namespace
}  // namespace cartidex::test
