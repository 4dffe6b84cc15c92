#include "identify/identify_archive.h"

#include <gtest/gtest.h>


#include "identify/identify_fixture.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

TEST(SetTallyTest, CompleteSetsAreOwnedAndTheLargestLaterOneIsBest) {
  TestHome home;
  uint32_t crc = 1;
  for (const int count : {2, 1, 2, 3}) {
    std::vector<ParsedRom> roms;
    for (int r = 0; r < count; ++r) roms.push_back({"r", 1, crc++});
    Database().AddSet("set", roms, "S");
  }
  for (int i = 0; i < 996; ++i)
    Database().AddSet("one", std::vector{ParsedRom{"r", 2, crc++}}, "S");
  SessionState& s = Session();
  int32_t best = -7;
  EXPECT_FALSE(s.TallyBest(&best));
  EXPECT_EQ(best, -7);
  for (const int32_t set : {3, 2, 1, 0, 2, 0}) s.TallyAdd(set);  // set 0 completes after set 2
  ASSERT_TRUE(s.TallyBest(&best));
  EXPECT_EQ(best, 0);
  for (const int32_t set : {0, 1, 2}) EXPECT_TRUE(Database().GetSet(set).owned) << set;
  EXPECT_FALSE(Database().GetSet(3).owned);
  ASSERT_EQ(s.tally.entries.size(), 4u);
  EXPECT_EQ(s.tally.entries[0].set_index, 3);
  EXPECT_EQ(s.tally.entries[0].roms_needed, 3);
  EXPECT_EQ(s.tally.entries[1].roms_matched, 2);
  // The tally grows far beyond a few hundred sets.
  for (int32_t i = 999; i >= 4; --i) s.TallyAdd(i);
  s.TallyAdd(500);
  ASSERT_EQ(s.tally.entries.size(), 1000u);
  EXPECT_EQ(s.tally.entries[4 + 999 - 500].roms_matched, 2);
  ASSERT_TRUE(s.TallyBest(&best));
  EXPECT_EQ(best, 0);
}

class ArchiveTest : public IdentifyTest {
 protected:
  std::string Tmp(const std::string& name) const { return home_.Path("tmp/" + name); }
  // Identifies an archive of `members` written as `name`; gives the name the dialog shows.
  std::string ShowZip(const std::string& name, const std::vector<ZipMember>& members) {
    WriteZip(home_.Path(name), members);
    Show(home_.Path(name));
    return Fields()[1];
  }
};

TEST_F(ArchiveTest, ASetIsCompleteWhenEachOfItsRomsIsFoundInThisArchive) {
  const int32_t pair = AddSet("Pair", "Console", {{"one.rom", "first"}, {"two.rom", "second"}});
  const int32_t twice = AddSet("Twice", "Console", {{"x.rom", "same"}, {"y.rom", "same"}});
  // Two copies of one ROM do not stand in for the missing one.
  EXPECT_EQ(ShowZip("copies.zip", {ZipMember("one.rom", "first"), ZipMember("1.rom", "first")}),
            "Unknown");
  ASSERT_EQ(Session().tally.entries.size(), 1u);
  EXPECT_EQ(Session().tally.entries[0].roms_matched, 1);
  // Nor does a found flag left by a plain file, nor a member overwritten by a later one.
  WriteFile(home_.Path("two.rom"), "second");
  EXPECT_TRUE(Show(home_.Path("two.rom")));
  EXPECT_EQ(ShowZip("half.zip", {ZipMember("a/two.rom", "second"), ZipMember("one.rom", "first"),
                                 ZipMember("b/two.rom", "other")}),
            "Unknown");
  EXPECT_EQ(Session().extracted_files, (std::vector<std::string>{Tmp("one.rom"), Tmp("two.rom")}));
  EXPECT_FALSE(Owned(pair));
  // A set that lists one ROM twice is completed by one member; a stray folder in tmp stays.
  WriteFile(home_.Path("tmp/left-over/inside.bin"), "kept");
  EXPECT_EQ(ShowZip("twice.zip", {ZipMember("x.rom", "same")}), "Twice.zip");
  EXPECT_TRUE(Owned(twice));
  WriteFile(home_.Path("x.bin"), "x");
  Show(home_.Path("x.bin"));
  EXPECT_EQ(ListTree(home_.Path("tmp")), std::vector<std::string>{"left-over/inside.bin"});
}

TEST_F(ArchiveTest, OnlyWhatTheArchiveWroteIsIdentified) {
  const int32_t set = AddSet("Pair", "Console", {{"a.rom", "aaaa"}, {"b.rom", "bbbb"}});
  const std::string pair = home_.Path("pair.zip"), half = home_.Path("half.zip");
  WriteZip(pair, {ZipMember("a.rom", "aaaa"), ZipMember("b.rom", "bbbb")});
  WriteZip(half, {ZipMember("a.rom", "aaaa")});
  WriteFile(home_.Path("x.bin"), "x");
  FaultEnv env;
  ScopedEnv scoped(&env);
  // A member of the complete archive that cannot be deleted must not complete the set for the
  // next archive, which lacks it.
  EXPECT_TRUE(Show(pair));
  env.FailPathsContaining(EnvOp::kDeleteFile, "b.rom");
  Show(home_.Path("x.bin"));
  Database().MarkSetOwned(set, false);
  const size_t before = home_.Log().size();
  EXPECT_FALSE(Show(half));
  EXPECT_EQ(home_.Log().substr(before), "File unzipped: " + half +
                                            "\r\n Containing:\r\n  - Opened: " + Tmp("a.rom") +
                                            " Size: 4 CRC32: " + std::to_string(Crc32("aaaa")) +
                                            " Found: I\r\n No set found\r\n\r\n");
  EXPECT_FALSE(Owned(set));
  // The stale file is still in the record, to be deleted when that works again.
  EXPECT_EQ(Session().extracted_files, (std::vector<std::string>{Tmp("a.rom"), Tmp("b.rom")}));
  env.Clear();
  Show(home_.Path("x.bin"));
  EXPECT_TRUE(ListTree(home_.Path("tmp")).empty());
  // A listing of tmp that fails hides no member and lets no set pass for missing.
  env.FailPathsContaining(EnvOp::kListFolder, "tmp");
  EXPECT_TRUE(Show(pair));
  EXPECT_EQ(Fields()[1], "Pair.zip");
}

}  // namespace
}  // namespace cartidex::test
