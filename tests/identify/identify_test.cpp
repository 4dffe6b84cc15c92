// Identification of plain files and archives against a database of the tests' own ROMs, shown in
// a dialog without a window whose five result fields are read back.
#include "identify/identify_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
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
  bool Show(const std::string& path) { return IdentifyAndShow(&view_, path, &result_); }
  bool Owned(int32_t set) const { return Database().GetSet(static_cast<uint32_t>(set)).owned; }
  bool Found(int32_t set) const { return Database().GetSet(static_cast<uint32_t>(set)).found[0]; }
  // The five result fields: Filename, Name, System, CRC32, Size.
  std::vector<std::string> Fields() {
    std::vector<std::string> fields;
    for (int id : {kIdFilenameField, kIdNameField, kIdSystemField, kIdCrcField, kIdSizeField}) {
      fields.push_back(view_.GetText(id));
    }
    return fields;
  }

  TestHome home_;
  HeadlessView view_;
  RomRecord result_;
};

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

TEST_F(PlainFileTest, NamesThatLookLikeArchivesOrUnknownAreTakenAsTheyStand) {
  // Only the exact lower-case ".zip" makes an archive.
  AddSet("Upper", "Console", {{"GAME.ZIP", "PK not really"}});
  for (const char* name : {"GAME.ZIP", "game.Zip", "game.zip.bak", "roms.zip/game"}) {
    WriteFile(home_.Path(name), "PK not really");
    EXPECT_TRUE(Show(home_.Path(name)) && !Session().archive_mode) << name;
  }
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

// Chunks, empty files and folders go through identification end to end; here only the size
// first taken is read, though the file grows or shrinks meanwhile.
TEST(FileChecksumTest, OnlyTheSizeFirstTakenIsRead) {
  TempDir dir;
  WriteFile(dir.Path("file"), "0123456789abcdefghij");
  uint32_t crc = 0, size = 0;
  EXPECT_EQ(ChecksumFile(dir.path(), &crc, &size), ChecksumOutcome::kUnreadable);
  FaultEnv env;
  ScopedEnv scoped(&env);
  for (const auto& [reported, read] :
       {std::pair{10u, "0123456789"}, {0xFFFFFFFFu, "0123456789abcdefghij"}}) {
    env.ReportSize(reported);
    ASSERT_EQ(ChecksumFile(dir.Path("file"), &crc, &size), ChecksumOutcome::kRead);
    EXPECT_EQ(std::make_pair(crc, size), std::make_pair(Crc32(read), uint32_t(strlen(read))));
  }
}

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
  EXPECT_TRUE(!s.TallyBest(&best) && best == -7);
  for (const int32_t set : {3, 2, 1, 0, 2, 0}) s.TallyAdd(set);  // set 0 completes after set 2
  ASSERT_TRUE(s.TallyBest(&best));
  EXPECT_EQ(best, 0);
  for (const int32_t set : {0, 1, 2}) EXPECT_TRUE(Database().GetSet(set).owned) << set;
  EXPECT_FALSE(Database().GetSet(3).owned);
  ASSERT_EQ(s.tally.entries.size(), 4u);
  EXPECT_EQ(std::make_tuple(s.tally.entries[0].set_index, s.tally.entries[0].roms_needed,
                            s.tally.entries[1].roms_matched),
            std::make_tuple(3, 3, 2));
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
