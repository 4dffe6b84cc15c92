#include "identify/identify_archive.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "identify/identify_fixture.h"
#include "identify/session_state.h"
#include "support/fault_env.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

class ArchiveTest : public IdentifyTest {
 protected:
  std::string Tmp(const std::string& name) const { return home_.Path("tmp/" + name); }
  // One member's line, as the archive's log holds it.
  std::string Member(const std::string& name, const std::string& contents,
                     const std::string& found) const {
    return "  - Opened: " + Tmp(name) + " Size: " + std::to_string(contents.size()) +
           " CRC32: " + std::to_string(Crc32(contents)) + " Found: " + found + "\r\n";
  }
  std::string Head(const std::string& zip) const {
    return "File unzipped: " + zip + "\r\n Containing:\r\n";
  }
  bool Owned(int32_t set) const { return Database().GetSet(static_cast<uint32_t>(set)).owned; }
  bool AnyFoundFlag() const {
    for (uint32_t s = 0; s < Database().GetSetCount(); ++s) {
      for (uint8_t f : Database().GetSet(s).found) {
        if (f != 0) return true;
      }
    }
    return false;
  }
  std::vector<std::string> TmpFiles() const { return ListTree(home_.Path("tmp")); }
  void RemoveTmp() const { std::filesystem::remove_all(home_.Path("tmp")); }
};

TEST_F(ArchiveTest, CompleteSetIsReportedOwnedAndItsFilesDeletedNextTime) {
  const int32_t set =
      AddSet("Trio", "Console", {{"a.rom", "AAAA"}, {"b.rom", "BB"}, {"c.rom", "C"}});
  const std::string zip = home_.Path("in/trio.zip");
  WriteZip(zip, {ZipMember("c.rom", "C"), ZipMember("a.rom", "AAAA", 8), ZipMember("b.rom", "BB")});

  EXPECT_TRUE(Show(zip));
  EXPECT_EQ(home_.Log(), Head(zip) + Member("a.rom", "AAAA", "I") + Member("b.rom", "BB", "I") +
                             Member("c.rom", "C", "I") + " Found set: Trio.zip\r\n\r\n");
  EXPECT_EQ(Fields(),
            (std::vector<std::string>{"trio.zip", "Trio.zip", "Console", "Zipfile", "Zipfile"}));
  EXPECT_TRUE(Owned(set));
  EXPECT_FALSE(AnyFoundFlag());
  EXPECT_EQ(Session().current_path, zip);
  EXPECT_TRUE(Session().archive_mode);
  EXPECT_EQ(Session().extracted_files,
            (std::vector<std::string>{Tmp("a.rom"), Tmp("b.rom"), Tmp("c.rom")}));
  EXPECT_EQ(TmpFiles(), (std::vector<std::string>{"a.rom", "b.rom", "c.rom"}));

  // The next identification deletes them first.
  const std::string plain = home_.Path("in/plain.bin");
  WriteFile(plain, "plain");
  EXPECT_FALSE(Show(plain));
  EXPECT_TRUE(TmpFiles().empty());
  EXPECT_TRUE(Session().extracted_files.empty());
  EXPECT_FALSE(Session().archive_mode);
}

TEST_F(ArchiveTest, EveryCompleteSetIsOwnedAndTheLargestReported) {
  const int32_t single = AddSet("Single", "Console", {{"s.rom", "SSS"}});
  const int32_t trio = AddSet("Trio", "Console", {{"a.rom", "A"}, {"b.rom", "B"}, {"c.rom", "CC"}});
  const int32_t partial = AddSet("Partial", "Console", {{"a2.rom", "A"}, {"z.rom", "ZZZZ"}});
  const std::string zip = home_.Path("both.zip");
  WriteZip(zip, {ZipMember("a.rom", "A"), ZipMember("b.rom", "B"), ZipMember("c.rom", "CC"),
                 ZipMember("s.rom", "SSS"), ZipMember("extra.txt", "matches nothing")});
  EXPECT_TRUE(Show(zip));
  EXPECT_EQ(Fields()[1], "Trio.zip");
  EXPECT_TRUE(Owned(single));
  EXPECT_TRUE(Owned(trio));
  EXPECT_FALSE(Owned(partial));
  // "a.rom" is in two sets: both entries are visited.
  EXPECT_NE(home_.Log().find(Member("a.rom", "A", "II")), std::string::npos);
  EXPECT_NE(home_.Log().find(Member("extra.txt", "matches nothing", "No")), std::string::npos);
}

TEST_F(ArchiveTest, OfTwoEqualSetsTheOneCountedLaterIsReported) {
  const int32_t first = AddSet("Zed", "Console", {{"z.rom", "zz"}});
  const int32_t second = AddSet("Ay", "Console", {{"a.rom", "aa"}});
  const std::string zip = home_.Path("two.zip");
  WriteZip(zip, {ZipMember("z.rom", "zz"), ZipMember("a.rom", "aa")});
  EXPECT_TRUE(Show(zip));
  // Members are visited in name order: a.rom first, so Zed is counted later.
  EXPECT_EQ(Fields()[1], "Zed.zip");
  EXPECT_TRUE(Owned(first));
  EXPECT_TRUE(Owned(second));
}

TEST_F(ArchiveTest, MissingRomMeansNoSet) {
  const int32_t set = AddSet("Trio", "Console", {{"a.rom", "A"}, {"b.rom", "B"}, {"c.rom", "C"}});
  const std::string zip = home_.Path("lacking.zip");
  WriteZip(zip, {ZipMember("a.rom", "A"), ZipMember("b.rom", "B")});
  EXPECT_FALSE(Show(zip));
  EXPECT_EQ(home_.Log(), Head(zip) + Member("a.rom", "A", "I") + Member("b.rom", "B", "I") +
                             " No set found\r\n\r\n");
  EXPECT_EQ(Fields(),
            (std::vector<std::string>{"lacking.zip", "Unknown", "Unknown", "Zipfile", "Zipfile"}));
  EXPECT_FALSE(Owned(set));
  EXPECT_FALSE(AnyFoundFlag());
}

TEST_F(ArchiveTest, TwoCopiesOfOneRomDoNotStandInForTheMissingOne) {
  const int32_t set = AddSet("Pair", "Console", {{"one.rom", "first"}, {"two.rom", "second"}});
  const std::string zip = home_.Path("copies.zip");
  WriteZip(zip, {ZipMember("one.rom", "first"), ZipMember("copy of one.rom", "first")});
  EXPECT_FALSE(Show(zip));
  EXPECT_EQ(Fields()[1], "Unknown");
  EXPECT_FALSE(Owned(set));
  EXPECT_EQ(Session().tally.entries.size(), 1u);
  EXPECT_EQ(Session().tally.entries[0].roms_matched, 1);
}

TEST_F(ArchiveTest, SetListingOneRomTwiceIsCompletedByOneMember) {
  const int32_t set = AddSet("Twice", "Console", {{"x.rom", "same"}, {"y.rom", "same"}});
  const std::string zip = home_.Path("twice.zip");
  WriteZip(zip, {ZipMember("x.rom", "same")});
  EXPECT_TRUE(Show(zip));
  EXPECT_EQ(home_.Log(),
            Head(zip) + Member("x.rom", "same", "II") + " Found set: Twice.zip\r\n\r\n");
  EXPECT_TRUE(Owned(set));
}

TEST_F(ArchiveTest, FoundFlagsLeftByPlainFilesDoNotCountForAnArchive) {
  const int32_t set = AddSet("Pair", "Console", {{"one.rom", "first"}, {"two.rom", "second"}});
  WriteFile(home_.Path("two.rom"), "second");
  EXPECT_TRUE(Show(home_.Path("two.rom")));
  const std::string zip = home_.Path("half.zip");
  WriteZip(zip, {ZipMember("one.rom", "first")});
  EXPECT_FALSE(Show(zip));
  EXPECT_FALSE(Owned(set));
}

TEST_F(ArchiveTest, FoundSetShowsItsOwnSystem) {
  AddSet("Game", "Console A", {{"game.rom", "game"}});
  AddSet("Tool", "Computer B", {{"tool.rom", "tool"}, {"tool2.rom", "tool two"}});
  const std::string zip = home_.Path("game.zip");
  // The extra member is visited last and matches a ROM of another system.
  WriteZip(zip, {ZipMember("game.rom", "game"), ZipMember("zz-tool.rom", "tool")});
  EXPECT_TRUE(Show(zip));
  EXPECT_EQ(Fields()[1], "Game.zip");
  EXPECT_EQ(Fields()[2], "Console A");
  EXPECT_EQ(Session().current_system, "Computer B");
}

TEST_F(ArchiveTest, FoldersInsideLandSideBySideAndTheLaterSameNameStays) {
  const int32_t set = AddSet("Set", "Console", {{"a.rom", "new"}, {"b.rom", "bee"}});
  const std::string zip = home_.Path("folders.zip");
  WriteZip(zip, {ZipMember("disk1/", ""), ZipMember("disk1/a.rom", "old data"),
                 ZipMember("disk2\\a.rom", "new"), ZipMember("disk2/sub/b.rom", "bee")});
  EXPECT_TRUE(Show(zip));
  EXPECT_TRUE(Owned(set));
  EXPECT_EQ(TmpFiles(), (std::vector<std::string>{"a.rom", "b.rom"}));
}

TEST_F(ArchiveTest, DotFilesAreListedAndDeletedButNotIdentified) {
  AddSet("Solo", "Console", {{"solo.rom", "solo"}});
  const std::string zip = home_.Path("dot.zip");
  WriteZip(zip, {ZipMember(".hidden", "hidden"), ZipMember("solo.rom", "solo")});
  EXPECT_TRUE(Show(zip));
  EXPECT_EQ(home_.Log(),
            Head(zip) + Member("solo.rom", "solo", "I") + " Found set: Solo.zip\r\n\r\n");
  EXPECT_EQ(Session().extracted_files, (std::vector<std::string>{Tmp(".hidden"), Tmp("solo.rom")}));
  WriteFile(home_.Path("x.bin"), "x");
  Show(home_.Path("x.bin"));
  EXPECT_TRUE(TmpFiles().empty());
}

TEST_F(ArchiveTest, EmptyMemberMakesAnErrorAndLeavesEveryFileListed) {
  const int32_t set = AddSet("Solo", "Console", {{"solo.rom", "solo"}});
  const std::string zip = home_.Path("hole.zip");
  WriteZip(zip, {ZipMember("a-empty.rom", ""), ZipMember("solo.rom", "solo"),
                 ZipMember("z.rom", "zed")});
  EXPECT_FALSE(Show(zip));
  EXPECT_EQ(home_.Log(), Head(zip) + "  - ");
  EXPECT_EQ(Fields(), Five("Error"));
  EXPECT_EQ(Session().current_path, zip);
  EXPECT_FALSE(Owned(set));
  EXPECT_EQ(Session().extracted_files,
            (std::vector<std::string>{Tmp("a-empty.rom"), Tmp("solo.rom"), Tmp("z.rom")}));

  // None of them is counted for the next archive: they are gone before it is extracted.
  const std::string next = home_.Path("next.zip");
  WriteZip(next, {ZipMember("other.bin", "other")});
  const size_t before = home_.Log().size();
  EXPECT_FALSE(Show(next));
  EXPECT_EQ(home_.Log().substr(before),
            Head(next) + Member("other.bin", "other", "No") + " No set found\r\n\r\n");
  EXPECT_EQ(TmpFiles(), std::vector<std::string>{"other.bin"});
}

TEST_F(ArchiveTest, ArchiveThatCannotBeExtractedIsAnErrorAndItsPiecesGo) {
  AddSet("Solo", "Console", {{"solo.rom", "solo"}});
  const std::string zip = home_.Path("odd.zip");
  WriteZip(zip, {ZipMember("first.rom", "first"), ZipMember("packed.rom", "xx", 12),
                 ZipMember("solo.rom", "solo")});
  EXPECT_FALSE(Show(zip));
  EXPECT_EQ(home_.Log(), "Cannot extract: " + zip + "\r\n");
  EXPECT_EQ(Fields(), Five("Error"));
  EXPECT_EQ(Session().current_path, zip);
  EXPECT_EQ(Session().extracted_files,
            (std::vector<std::string>{Tmp("first.rom"), Tmp("packed.rom")}));
  WriteFile(home_.Path("x.bin"), "x");
  Show(home_.Path("x.bin"));
  EXPECT_TRUE(TmpFiles().empty());
}

TEST_F(ArchiveTest, FullDiskDoesNotTurnACompleteArchiveIntoAnUnknownOne) {
  const int32_t set = AddSet(
      "Pair", "Console", {{"a.rom", std::string(5000, 'a')}, {"b.rom", std::string(5000, 'b')}});
  const std::string zip = home_.Path("pair.zip");
  WriteZip(zip, {ZipMember("a.rom", std::string(5000, 'a'), 8),
                 ZipMember("b.rom", std::string(5000, 'b'), 8)});
  {
    FaultEnv env;
    ScopedEnv scoped(&env);
    env.DiskFullAfter(7000, home_.Path("tmp"));
    EXPECT_FALSE(Show(zip));
  }
  EXPECT_EQ(home_.Log(), "Cannot extract: " + zip + "\r\n");
  EXPECT_EQ(Fields(), Five("Error"));
  EXPECT_FALSE(Owned(set));
  EXPECT_EQ(Session().extracted_files.size(), 2u);
}

TEST_F(ArchiveTest, UnwritableTmpIsAnExtractionFailure) {
  AddSet("Solo", "Console", {{"solo.rom", "solo"}});
  const std::string zip = home_.Path("solo.zip");
  WriteZip(zip, {ZipMember("solo.rom", "solo")});
  RemoveTmp();
  FaultEnv env;
  ScopedEnv scoped(&env);
  env.FailPathsContaining(EnvOp::kCreateFolder, home_.Path("tmp"));
  EXPECT_FALSE(Show(zip));
  EXPECT_EQ(home_.Log(), "Cannot extract: " + zip + "\r\n");
}

TEST_F(ArchiveTest, OnlyWhatTheArchiveWroteIsIdentified) {
  const int32_t set = AddSet("Pair", "Console", {{"a.rom", "aaaa"}, {"b.rom", "bbbb"}});
  const std::string pair = home_.Path("pair.zip"), half = home_.Path("half.zip");
  WriteZip(pair, {ZipMember("a.rom", "aaaa"), ZipMember("b.rom", "bbbb")});
  WriteZip(half, {ZipMember("a.rom", "aaaa")});
  WriteFile(home_.Path("x.bin"), "x");
  FaultEnv env;
  ScopedEnv scoped(&env);
  // The members of the complete archive cannot all be deleted: the one left over must not
  // complete the set for the next archive, which lacks it.
  EXPECT_TRUE(Show(pair));
  env.FailPathsContaining(EnvOp::kDeleteFile, "b.rom");
  Show(home_.Path("x.bin"));
  Database().MarkSetOwned(static_cast<uint32_t>(set), false);
  const size_t before = home_.Log().size();
  EXPECT_FALSE(Show(half));
  EXPECT_EQ(home_.Log().substr(before),
            Head(half) + Member("a.rom", "aaaa", "I") + " No set found\r\n\r\n");
  EXPECT_FALSE(Owned(set));
  // The stale file is still in the record, to be deleted when that works again.
  EXPECT_EQ(Session().extracted_files, (std::vector<std::string>{Tmp("a.rom"), Tmp("b.rom")}));
  env.Clear();
  Show(home_.Path("x.bin"));
  EXPECT_TRUE(TmpFiles().empty());

  // A listing of tmp that fails hides no member and lets no set pass for missing.
  env.FailPathsContaining(EnvOp::kListFolder, "tmp");
  EXPECT_TRUE(Show(pair));
  EXPECT_EQ(Fields()[1], "Pair.zip");
  EXPECT_EQ(Session().extracted_files, (std::vector<std::string>{Tmp("a.rom"), Tmp("b.rom")}));
}

TEST_F(ArchiveTest, NestedArchiveIsIdentifiedByItsOwnNumbers) {
  const std::string inner = MakeZip({ZipMember("deep.rom", "deep")});
  const int32_t set = AddSet("Outer", "Console", {{"inner.zip", inner}, {"x.rom", "x"}});
  AddSet("Deep", "Console", {{"deep.rom", "deep"}});
  const std::string zip = home_.Path("outer.zip");
  WriteZip(zip, {ZipMember("inner.zip", inner), ZipMember("x.rom", "x")});
  EXPECT_TRUE(Show(zip));
  EXPECT_EQ(home_.Log(), Head(zip) + Member("inner.zip", inner, "I") + Member("x.rom", "x", "I") +
                             " Found set: Outer.zip\r\n\r\n");
  EXPECT_TRUE(Owned(set));
  EXPECT_EQ(TmpFiles(), (std::vector<std::string>{"inner.zip", "x.rom"}));
}

TEST_F(ArchiveTest, ArchiveWithoutMembersOrNoZipAtAllHasNoFile) {
  AddSet("Solo", "Console", {{"solo.rom", "solo"}});
  // A found flag set before stays: nothing was extracted.
  WriteFile(home_.Path("solo.rom"), "solo");
  Show(home_.Path("solo.rom"));
  const size_t before = home_.Log().size();

  WriteZip(home_.Path("empty.zip"), {});
  WriteFile(home_.Path("text.zip"), "this is no archive");
  for (const char* name : {"empty.zip", "text.zip", "missing.zip"}) {
    const std::string zip = home_.Path(name);
    EXPECT_FALSE(Show(zip)) << name;
    EXPECT_EQ(Fields(), (std::vector<std::string>{name, "Unknown", "Unknown", "00000000", ""}));
    EXPECT_TRUE(AnyFoundFlag());
  }
  EXPECT_EQ(home_.Log().substr(before), "No file in: " + home_.Path("empty.zip") +
                                            "\r\n\r\nNo file in: " + home_.Path("text.zip") +
                                            "\r\n\r\nNo file in: " + home_.Path("missing.zip") +
                                            "\r\n\r\n");
}

TEST_F(ArchiveTest, StrayFolderInTmpIsNoMember) {
  const int32_t set = AddSet("Solo", "Console", {{"solo.rom", "solo"}});
  WriteFile(home_.Path("tmp/left-over/inside.bin"), "kept");
  const std::string zip = home_.Path("solo.zip");
  WriteZip(zip, {ZipMember("solo.rom", "solo")});
  EXPECT_TRUE(Show(zip));
  EXPECT_TRUE(Owned(set));
  EXPECT_EQ(Session().extracted_files, std::vector<std::string>{Tmp("solo.rom")});
}

TEST_F(ArchiveTest, LargeArchivesAreCountedWhole) {
  std::vector<ZipMember> members;
  for (int i = 0; i < 300; ++i) {
    const std::string name = "rom" + std::to_string(1000 + i) + ".bin";
    const std::string contents = "contents of " + name;
    AddSet("Set" + std::to_string(1000 + i), "Console", {{name, contents}});
    members.emplace_back(name, contents);
  }
  const std::string zip = home_.Path("many.zip");
  WriteZip(zip, members);
  EXPECT_TRUE(Show(zip));
  EXPECT_EQ(Session().extracted_files.size(), 300u);
  EXPECT_EQ(Session().tally.entries.size(), 300u);
  EXPECT_EQ(Fields()[1], "Set1299.zip");
  for (uint32_t s = 0; s < 300; ++s) EXPECT_TRUE(Database().GetSet(s).owned) << s;
}

}  // namespace
}  // namespace cartidex::test
