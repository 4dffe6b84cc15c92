// Identification of plain files and archives against a database of the tests' own ROMs, shown in
// a dialog without a window whose five result fields are read back.
#include "identify/identify_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/headless_view.h"
#include "identify/file_checksum.h"
#include "identify/session_state.h"
#include "platform/dialog_view.h"
#include "romdb/rom_database.h"
#include "support/fault_env.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

class IdentifyTest : public ::testing::Test {
 protected:
  // Adds the set `name`.zip of the ROMs {name, contents}, all of `system`, and gives its index.
  int32_t AddSet(const std::string& name, const std::string& system,
                 const std::vector<std::pair<std::string, std::string>>& roms) {
    std::vector<ParsedRom> parsed;
    for (const auto& [rom, contents] : roms) {
      parsed.push_back({rom, static_cast<uint32_t>(contents.size()), Crc32(contents)});
    }
    EXPECT_EQ(Database().AddSet(name, parsed, system), nullptr);
    return static_cast<int32_t>(Database().GetSetCount()) - 1;
  }
  // Writes `contents` as home/`name` (unless empty) and identifies it.
  bool Show(const std::string& name, const std::string& contents = "") {
    if (!contents.empty()) WriteFile(home_.Path(name), contents);
    return IdentifyAndShow(&view_, home_.Path(name), &result_);
  }
  bool Owned(int32_t set) const { return Database().GetSet(static_cast<uint32_t>(set)).owned; }
  std::string Field(int id) { return view_.GetText(id); }

  TestHome home_;
  HeadlessView view_;
  RomRecord result_;
};

TEST_F(IdentifyTest, TheFirstEntryMetFromTheStartIsMarkedFound) {
  AddSet("Unrelated", "S0", {{"u.bin", "unrelated"}});  // entry 0
  const int32_t a = AddSet("A", "S1", {{"a.bin", "shared rom"}});
  AddSet("B", "S2", {{"b.bin", "shared rom"}});
  EXPECT_TRUE(Show("game file.bin", "shared rom"));
  EXPECT_EQ(Field(kIdNameField) + "|" + Field(kIdSystemField), "a.bin|S1");
  EXPECT_EQ(std::make_pair(result_.set_index, result_.slot), std::make_pair(a, 0));
  EXPECT_TRUE(Database().GetSet(a).found[0] && !Database().GetSet(a + 1).found[0]);
}

TEST_F(IdentifyTest, NamesThatLookLikeArchivesOrUnknownAreTakenAsTheyStand) {
  // Only the exact lower-case ".zip" makes an archive.
  AddSet("Upper", "Console", {{"GAME.ZIP", "PK not really"}});
  for (const char* name : {"GAME.ZIP", "game.Zip", "game.zip.bak"}) {
    EXPECT_TRUE(Show(name, "PK not really") && !Session().archive_mode) << name;
  }
  AddSet("Odd", "Console", {{"Unknown", "odd contents"}});
  EXPECT_FALSE(Show("odd.bin", "odd contents"));  // the name "Unknown" counts as not identified
  EXPECT_EQ(Field(kIdSystemField), "Console");
  const std::string marked = ForgeCrc("marked", kArchiveMark);
  AddSet("marked", "Console", {{"marked.bin", marked}});
  EXPECT_TRUE(Show("marked.bin", marked));
  EXPECT_EQ(Field(kIdCrcField) + "|" + Field(kIdSizeField), "FFFFFFFE|10");
}

// Chunks, empty files and folders go through identification end to end; here only the size
// first taken is read, though the file grows or shrinks meanwhile, and no ROM is 4 GiB.
TEST(FileChecksumTest, OnlyTheSizeFirstTakenIsRead) {
  TempDir dir;
  WriteFile(dir.Path("file"), "0123456789abcdefghij");
  FileSums sums;
  FaultEnv env;
  ScopedEnv scoped(&env);
  for (const auto& [reported, read] :
       {std::pair{10u, "0123456789"}, {0xFFFFFFFFu, "0123456789abcdefghij"}}) {
    env.ReportSize(reported);
    ASSERT_EQ(SumFile(dir.Path("file"), nullptr, &sums), ChecksumOutcome::kRead);
    EXPECT_EQ(sums.whole.crc, Crc32(read));
    EXPECT_EQ(sums.whole.size, strlen(read));
  }
  env.ReportSize(0x100000000ull);
  EXPECT_EQ(SumFile(dir.Path("file"), nullptr, &sums), ChecksumOutcome::kUnreadable);
}

TEST(SetTallyTest, CompleteSetsAreOwnedAndTheLargestLaterOneIsBest) {
  TestHome home;
  uint32_t crc = 1;
  for (const int count : {2, 1, 2, 3}) {
    std::vector<ParsedRom> roms;
    for (int r = 0; r < count; ++r) roms.push_back({"r", 1, crc++});
    Database().AddSet("set", roms, "S");
  }
  SessionState& s = Session();
  int32_t best = -7;
  EXPECT_TRUE(!s.TallyBest(&best) && best == -7);
  for (const int32_t set : {3, 2, 1, 0, 2, 0}) s.TallyAdd(set);  // set 0 completes after set 2
  ASSERT_TRUE(s.TallyBest(&best));
  EXPECT_EQ(best, 0);
  for (const int32_t set : {0, 1, 2}) EXPECT_TRUE(Database().GetSet(set).owned) << set;
  EXPECT_FALSE(Database().GetSet(3).owned);
}

class ArchiveTest : public IdentifyTest {
 protected:
  std::string Tmp(const std::string& name) const { return home_.Path("tmp/" + name); }
  // Identifies an archive of `members` written as `name`; gives the name the dialog shows.
  std::string ShowZip(const std::string& name, const std::vector<ZipMember>& members) {
    WriteZip(home_.Path(name), members);
    Show(name);
    return Field(kIdNameField);
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
  EXPECT_TRUE(Show("two.rom", "second"));
  EXPECT_EQ(ShowZip("half.zip", {ZipMember("a/two.rom", "second"), ZipMember("one.rom", "first"),
                                 ZipMember("b/two.rom", "other")}),
            "Unknown");
  EXPECT_EQ(Session().extracted_files, (Lines{Tmp("one.rom"), Tmp("two.rom")}));
  EXPECT_FALSE(Owned(pair));
  // A set that lists one ROM twice is completed by one member.
  EXPECT_EQ(ShowZip("twice.zip", {ZipMember("x.rom", "same")}), "Twice.zip");
  EXPECT_TRUE(Owned(twice));
}

}  // namespace
}  // namespace cartidex::test
