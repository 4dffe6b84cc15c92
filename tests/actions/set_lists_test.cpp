// The have and missing lists where system texts meet as file names; their bytes and the faults
// of writing them are pinned end to end and by the fault runs.
#include "actions/set_lists.h"

#include <gtest/gtest.h>

#include "romdb/rom_database.h"
#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

TEST(SetListsTest, SystemTextsMadeFileNamesNeverOverwriteEachOther) {
  for (const bool ids_readable : {true, false}) {
    TestHome home;
    TempDir dir;
    uint32_t serial = 0;
    for (const auto& [system, name] : {std::pair{"Nintendo/Game Boy", "One"},
                                       {"Nintendo_Game Boy", "Two"},
                                       {"Sega\\Mega", "Three"},
                                       {"Sega\\Mega", ""},
                                       {"sega_Mega", "Lower"}}) {
      const ParsedRom rom{"r", 10u + serial, 0x1000u + serial};
      ++serial;
      ASSERT_EQ(Database().AddSet(name, std::span(&rom, 1), system), nullptr);
    }
    FaultEnv faults;
    ScopedEnv scoped(&faults);
    if (!ids_readable) faults.FailPathsContaining(EnvOp::kGetFileId, "Game Boy");
    WriteSetLists(dir.Path("lists"));
    const std::string lists = dir.Path("lists/");
    EXPECT_EQ(ReadFile(lists + "Nintendo_Game Boy_miss.txt"),
              "Missing Nintendo/Game Boy sets:\r\n\r\nOne\r\n");
    // A datafile's '\\' nests systems on every platform, as in the "<system>" code.
    EXPECT_EQ(ReadFile(lists + "Sega_Mega_miss.txt"),
              "Missing Sega\\Mega sets:\r\n\r\nThree\r\n.zip\r\n");
    std::string log = "List not written: " + lists + "Nintendo_Game Boy_have.txt\r\n" +
                      "List not written: " + lists + "Nintendo_Game Boy_miss.txt\r\n";
#ifdef _WIN32
    // Here letter case folds: "sega_Mega_miss.txt" names Sega\Mega's file.
    log += "List not written: " + lists + "sega_Mega_have.txt\r\nList not written: " + lists +
           "sega_Mega_miss.txt\r\n";
#else
    EXPECT_EQ(ReadFile(lists + "sega_Mega_miss.txt"), "Missing sega_Mega sets:\r\n\r\nLower\r\n");
#endif
    EXPECT_EQ(home.Log(), log);
  }
}

TEST(SetListsTest, EmptyTableWritesNoFileButMakesTheFolder) {
  TestHome home;
  TempDir dir;
  WriteSetLists(dir.Path("a/b/c"));
  EXPECT_EQ(ListTree(dir.path()), std::vector<std::string>{});
  EXPECT_TRUE(Exists(dir.Path("a/b/c")));
}

}  // namespace
}  // namespace cartidex::test
