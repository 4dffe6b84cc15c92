#include "identify/identify_file.h"

#include <gtest/gtest.h>

#include "identify/identify_fixture.h"
#include "identify/session_state.h"
#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

using PlainFileTest = IdentifyTest;

TEST_F(PlainFileTest, AFoundFileMarksItsRomAndIsTheCurrentPath) {
  AddSet("Other", "Sys A", {{"other.bin", "other contents"}});
  const int32_t set = AddSet("Game", "Game Console", {{"game.bin", "game contents"}});
  const std::string path = home_.Path("roms/game file.bin");
  WriteFile(path, "game contents");
  EXPECT_TRUE(Show(path));
  EXPECT_EQ(Fields()[1] + "|" + Fields()[2], "game.bin|Game Console");
  EXPECT_EQ(std::make_pair(result_.set_index, result_.slot), std::make_pair(set, 0));
  EXPECT_TRUE(Database().GetSet(static_cast<uint32_t>(set)).found[0]);
  EXPECT_EQ(Session().current_path, path);
  EXPECT_EQ(Session().current_system, "Game Console");
  EXPECT_FALSE(Session().archive_mode);

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
  EXPECT_EQ(home_.Log(), "Cannot read: " + path + "\r\nCannot read: " + path +
                             "\r\nCannot read: " + path + "\r\n");
}

TEST_F(PlainFileTest, OnlyTheExactLowerCaseZipExtensionMakesAnArchive) {
  AddSet("Upper", "Console", {{"GAME.ZIP", "PK not really"}});
  for (const char* name : {"GAME.ZIP", "game.Zip", "game.zip.bak", "roms.zip/game"}) {
    WriteFile(home_.Path(name), "PK not really");
    EXPECT_TRUE(Show(home_.Path(name))) << name;
    EXPECT_FALSE(Session().archive_mode) << name;
  }
}

TEST_F(PlainFileTest, RomsNamedUnknownOrMarkedLikeAnArchiveAreTakenAsTheyStand) {
  AddSet("Odd", "Console", {{"Unknown", "odd contents"}});
  WriteFile(home_.Path("odd.bin"), "odd contents");
  EXPECT_FALSE(Show(home_.Path("odd.bin")));  // the name "Unknown" counts as not identified
  EXPECT_EQ(Fields()[2], "Console");

  const std::string marked = ForgeCrc("marked", kArchiveMark);
  const ParsedRom rom{"marked.bin", static_cast<uint32_t>(marked.size()), kArchiveMark};
  ASSERT_EQ(Database().AddSet("marked", std::span(&rom, 1), "Console"), nullptr);
  WriteFile(home_.Path("marked.bin"), marked);
  EXPECT_TRUE(Show(home_.Path("marked.bin")));
  EXPECT_EQ(Fields(),
            (std::vector<std::string>{"marked.bin", "marked.bin", "Console", "FFFFFFFE", "10"}));
}

TEST_F(PlainFileTest, ARomInThreeSetsIsTheFirstEntryMetFromTheStart) {
  AddSet("Unrelated", "S0", {{"u.bin", "unrelated"}});  // entry 0
  const int32_t a = AddSet("A", "S1", {{"a.bin", "shared rom"}});
  const int32_t b = AddSet("B", "S2", {{"b.bin", "shared rom"}});
  WriteFile(home_.Path("shared.bin"), "shared rom");
  EXPECT_TRUE(Show(home_.Path("shared.bin")));
  EXPECT_EQ(Fields()[1], "a.bin");
  EXPECT_TRUE(Database().GetSet(static_cast<uint32_t>(a)).found[0]);
  EXPECT_FALSE(Database().GetSet(static_cast<uint32_t>(b)).found[0]);
  EXPECT_TRUE(Session().tally.entries.empty());
}

}  // namespace
}  // namespace cartidex::test
