// The have and missing lists: exact bytes, one pair of files per system gathering all its sets,
// and failures that are logged without stopping the pass.
#include "actions/set_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "romdb/rom_database.h"
#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

class SetListsTest : public ::testing::Test {
 protected:
  // Adds a one-ROM set named `name`.zip.
  void AddSet(std::string_view system, std::string_view name, bool owned = false) {
    const ParsedRom rom{"r", 10u + serial_, 0x1000u + serial_};
    ++serial_;
    ASSERT_EQ(Database().AddSet(name, std::span(&rom, 1), system), nullptr);
    Database().MarkSetOwned(static_cast<int32_t>(Database().GetSetCount() - 1), owned);
  }
  std::string List(std::string_view name) {
    return ReadFile(dir_.Path("lists/" + std::string(name)));
  }

  TestHome home_;
  TempDir dir_;
  uint32_t serial_ = 0;
};

TEST_F(SetListsTest, OneFilePairPerSystemWithExactBytes) {
  AddSet("A", "Alpha", true);
  AddSet("A", "Beta");
  AddSet("B", "Sample Set (Rev 2.0)", true);
  AddSet("B", "Gamma", true);
  AddSet("B", "");

  WriteSetLists(dir_.Path("lists"));  // no trailing separator, folder missing

  EXPECT_EQ(ListTree(dir_.path()), (Lines{"lists/A_have.txt", "lists/A_miss.txt",
                                          "lists/B_have.txt", "lists/B_miss.txt"}));
  EXPECT_EQ(List("A_have.txt"), "Owning A sets:\r\n\r\nAlpha\r\n");
  EXPECT_EQ(List("A_miss.txt"), "Missing A sets:\r\n\r\nBeta\r\n");
  EXPECT_EQ(List("B_have.txt"), "Owning B sets:\r\n\r\nSample Set (Rev 2.0)\r\nGamma\r\n");
  EXPECT_EQ(List("B_miss.txt"), "Missing B sets:\r\n\r\n.zip\r\n");
  EXPECT_EQ(home_.Log(), "");
}

TEST_F(SetListsTest, EverySystemRunIsGatheredAndUnknownIsASystemLikeAnyOther) {
  AddSet("Unknown", "Loose");
  AddSet("A", "One");
  AddSet("B", "Two", true);
  AddSet("A", "Three", true);
  AddSet("Unknown", "Late");
  AddSet("a", "Lower");  // letter case makes another system

  WriteSetLists(dir_.Path("lists/"));

  EXPECT_EQ(List("Unknown_miss.txt"), "Missing Unknown sets:\r\n\r\nLoose\r\nLate\r\n");
  EXPECT_EQ(List("Unknown_have.txt"), "Owning Unknown sets:\r\n\r\n");
  EXPECT_EQ(List("A_have.txt"), "Owning A sets:\r\n\r\nThree\r\n");
  EXPECT_EQ(List("A_miss.txt"), "Missing A sets:\r\n\r\nOne\r\n");
  EXPECT_EQ(List("B_have.txt"), "Owning B sets:\r\n\r\nTwo\r\n");
#ifndef _WIN32
  EXPECT_EQ(List("a_miss.txt"), "Missing a sets:\r\n\r\nLower\r\n");
#else
  // Here letter case folds: "a_miss.txt" names A's file, which is not written over.
  EXPECT_EQ(home_.Log(), "List not written: " + dir_.Path("lists/a_have.txt") +
                             "\r\nList not written: " + dir_.Path("lists/a_miss.txt") + "\r\n");
#endif
}

TEST_F(SetListsTest, SystemTextsMadeFileNamesNeverOverwriteEachOther) {
  AddSet("Nintendo/Game Boy", "One");
  AddSet("Nintendo_Game Boy", "Two");
  AddSet("Sega\\Mega", "Three");

  WriteSetLists(dir_.Path("lists"));

  EXPECT_EQ(List("Nintendo_Game Boy_miss.txt"), "Missing Nintendo/Game Boy sets:\r\n\r\nOne\r\n");
  // A datafile's '\\' nests systems on every platform, as in the "<system>" code.
  EXPECT_EQ(List("Sega_Mega_miss.txt"), "Missing Sega\\Mega sets:\r\n\r\nThree\r\n");
  EXPECT_EQ(home_.Log(),
            "List not written: " + dir_.Path("lists/Nintendo_Game Boy_have.txt") +
                "\r\nList not written: " + dir_.Path("lists/Nintendo_Game Boy_miss.txt") + "\r\n");
}

TEST_F(SetListsTest, MeetingFileNamesAreKeptApartWhenAFileCannotBeExamined) {
  AddSet("Nintendo/Game Boy", "One");
  AddSet("Nintendo_Game Boy", "Two");
  FaultEnv faults;
  ScopedEnv scoped(&faults);
  faults.FailPathsContaining(EnvOp::kGetFileId, "Game Boy");

  WriteSetLists(dir_.Path("lists"));

  EXPECT_EQ(List("Nintendo_Game Boy_miss.txt"), "Missing Nintendo/Game Boy sets:\r\n\r\nOne\r\n");
  EXPECT_EQ(home_.Log(),
            "List not written: " + dir_.Path("lists/Nintendo_Game Boy_have.txt") +
                "\r\nList not written: " + dir_.Path("lists/Nintendo_Game Boy_miss.txt") + "\r\n");
}

TEST_F(SetListsTest, AListThatCannotBeWrittenIsLoggedAndThePassGoesOn) {
  AddSet("A", "One", true);
  AddSet("B", "Two");
  AddSet("C", "Three");
  FaultEnv faults;
  ScopedEnv scoped(&faults);
  faults.FailPathsContaining(EnvOp::kOpenForWrite, "A_have");
  faults.FailPathsContaining(EnvOp::kAppend, "B_miss");
  faults.FailPathsContaining(EnvOp::kClose, "C_have");

  WriteSetLists(dir_.Path("lists"));

  // No cut list is left behind.
  EXPECT_EQ(ListTree(dir_.path()),
            (Lines{"lists/A_miss.txt", "lists/B_have.txt", "lists/C_miss.txt"}));
  EXPECT_EQ(List("C_miss.txt"), "Missing C sets:\r\n\r\nThree\r\n");
  EXPECT_EQ(home_.Log(), "List not written: " + dir_.Path("lists/A_have.txt") +
                             "\r\nList not written: " + dir_.Path("lists/B_miss.txt") +
                             "\r\nList not written: " + dir_.Path("lists/C_have.txt") + "\r\n");
}

TEST_F(SetListsTest, EmptyTableWritesNoFileButMakesTheFolder) {
  WriteSetLists(dir_.Path("a/b/c"));
  EXPECT_TRUE(Exists(dir_.Path("a/b/c")));
  EXPECT_EQ(ListTree(dir_.path()), Lines{});
}

}  // namespace
}  // namespace cartidex::test
