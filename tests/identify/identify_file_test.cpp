#include "identify/identify_file.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "identify/identify_fixture.h"
#include "identify/session_state.h"
#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

using PlainFileTest = IdentifyTest;

std::string Hex8(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

TEST_F(PlainFileTest, FoundFileLogsOneLineAndShowsTheRom) {
  AddSet("Other", "Sys A", {{"other.bin", "other contents"}});
  const int32_t set = AddSet("Game", "Game Console", {{"game.bin", "game contents"}});
  const std::string path = home_.Path("roms/game file.bin");
  WriteFile(path, "game contents");

  EXPECT_TRUE(Show(path));
  EXPECT_EQ(home_.Log(), "Opened: " + path + " Size: 13 CRC32: " +
                             std::to_string(Crc32("game contents")) + " Found: I\r\n");
  EXPECT_EQ(Fields(), (std::vector<std::string>{"game file.bin", "game.bin", "Game Console",
                                                Hex8(Crc32("game contents")), "13"}));
  EXPECT_EQ(result_.set_index, set);
  EXPECT_EQ(result_.slot, 0);
  EXPECT_TRUE(Database().GetSet(static_cast<uint32_t>(set)).found[0]);
  EXPECT_EQ(Session().current_path, path);
  EXPECT_EQ(Session().current_system, "Game Console");
  EXPECT_FALSE(Session().archive_mode);
  EXPECT_TRUE(Session().extracted_files.empty());
  EXPECT_TRUE(Session().tally.entries.empty());
}

TEST_F(PlainFileTest, UnknownFileShowsZerosAndAnEmptySize) {
  AddSet("Game", "Console", {{"game.bin", "game contents"}});
  const std::string path = home_.Path("stranger");  // no dot at all
  WriteFile(path, ForgeCrc("no such rom", 0x80000001u));

  EXPECT_FALSE(Show(path));
  // The CRC-32 with its top bit set is logged as its unsigned decimal value.
  EXPECT_EQ(home_.Log(), "Opened: " + path + " Size: 15 CRC32: 2147483649 Found: No\r\n");
  EXPECT_EQ(Fields(), (std::vector<std::string>{"stranger", "Unknown", "Unknown", "00000000", ""}));
  EXPECT_EQ(result_.set_index, -1);
  EXPECT_EQ(result_.slot, -1);
}

TEST_F(PlainFileTest, UnreadableFilesAreErrorsThatSayWhy) {
  const std::string path = home_.Path("game.bin");
  WriteFile(path, "some contents");
  {
    FaultEnv env;
    ScopedEnv scoped(&env);
    env.FailPathsContaining(EnvOp::kOpenForRead, "game.bin");
    EXPECT_FALSE(Show(path));
  }
  {
    // A read that breaks off half-way: nothing is looked up from half a file.
    WriteFile(path, std::string(600000, 'x'));
    FaultEnv env;
    ScopedEnv scoped(&env);
    env.FailNth(EnvOp::kRead, 2, "game.bin");
    EXPECT_FALSE(Show(path));
  }
  {
    // 4 GiB or more: no ROM is that large and the 32-bit size would be wrong.
    FaultEnv env;
    ScopedEnv scoped(&env);
    env.ReportSize(0x100000000ull);
    EXPECT_FALSE(Show(path));
  }
  EXPECT_FALSE(Show(home_.Path("missing.bin")));
  EXPECT_EQ(Fields(), Five("Error"));
  EXPECT_EQ(home_.Log(), "Cannot read: " + path + "\r\nCannot read: " + path + "\r\nCannot read: " +
                             path + "\r\nCannot read: " + home_.Path("missing.bin") + "\r\n");
}

TEST_F(PlainFileTest, OnlyTheExactLowerCaseZipExtensionMakesAnArchive) {
  const std::string contents = "PK not really";
  AddSet("Upper", "Console", {{"GAME.ZIP", contents}});
  for (const char* name : {"GAME.ZIP", "game.Zip", "game.zip.bak", "roms.zip/game"}) {
    const std::string path = home_.Path(name);
    WriteFile(path, contents);
    EXPECT_TRUE(Show(path)) << name;
    EXPECT_FALSE(Session().archive_mode) << name;
    EXPECT_EQ(Fields()[1], "GAME.ZIP") << name;
  }
}

TEST_F(PlainFileTest, RomWithTheArchiveMarkAsCrcShowsItsOwnNumbers) {
  const std::string contents = ForgeCrc("marked", 0xFFFFFFFEu);
  AddRomNumbers("marked.bin", "Console", 0xFFFFFFFEu, static_cast<uint32_t>(contents.size()));
  const std::string path = home_.Path("marked.bin");
  WriteFile(path, contents);
  EXPECT_TRUE(Show(path));
  EXPECT_EQ(Fields(),
            (std::vector<std::string>{"marked.bin", "marked.bin", "Console", "FFFFFFFE", "10"}));
}

TEST_F(PlainFileTest, RomInThreeSetsOutsideAnArchiveIsTheFirstEntryOnly) {
  const std::string contents = "shared rom";
  AddSet("Unrelated", "S0", {{"u.bin", "unrelated"}});  // entry 0
  const int32_t a = AddSet("A", "S1", {{"a.bin", contents}});
  const int32_t b = AddSet("B", "S2", {{"b.bin", contents}});
  const int32_t c = AddSet("C", "S3", {{"c.bin", contents}});
  const std::string path = home_.Path("shared.bin");
  WriteFile(path, contents);

  EXPECT_TRUE(Show(path));
  EXPECT_TRUE(home_.Log().ends_with(" Found: I\r\n"));
  EXPECT_EQ(Fields()[1], "a.bin");
  EXPECT_TRUE(Database().GetSet(static_cast<uint32_t>(a)).found[0]);
  EXPECT_FALSE(Database().GetSet(static_cast<uint32_t>(b)).found[0]);
  EXPECT_FALSE(Database().GetSet(static_cast<uint32_t>(c)).found[0]);
  EXPECT_TRUE(Session().tally.entries.empty());
}

TEST_F(PlainFileTest, RomNamedUnknownCountsAsNotIdentified) {
  AddSet("Odd", "Console", {{"Unknown", "odd contents"}});
  const std::string path = home_.Path("odd.bin");
  WriteFile(path, "odd contents");
  EXPECT_FALSE(Show(path));
  EXPECT_EQ(Fields()[1], "Unknown");
  EXPECT_EQ(Fields()[2], "Console");
}

}  // namespace
}  // namespace cartidex::test
