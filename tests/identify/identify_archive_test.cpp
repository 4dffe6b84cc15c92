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
  bool Owned(int32_t set) const { return Database().GetSet(static_cast<uint32_t>(set)).owned; }
  bool AnyFoundFlag() const {
    for (uint32_t s = 0; s < Database().GetSetCount(); ++s) {
      for (const uint8_t f : Database().GetSet(s).found) {
        if (f != 0) return true;
      }
    }
    return false;
  }
  std::vector<std::string> TmpFiles() const { return ListTree(home_.Path("tmp")); }
  // Identifies an archive of `members` written as `name`; gives the name the dialog shows.
  std::string ShowZip(const std::string& name, const std::vector<ZipMember>& members) {
    WriteZip(home_.Path(name), members);
    Show(home_.Path(name));
    return Fields()[1];
  }
};

TEST_F(ArchiveTest, EveryCompleteSetIsOwnedAndTheLargestShownWithItsOwnSystem) {
  const int32_t single = AddSet("Single", "Console", {{"s.rom", "SSS"}});
  const int32_t trio = AddSet("Trio", "Console", {{"a.rom", "A"}, {"b.rom", "B"}, {"c.rom", "CC"}});
  const int32_t partial = AddSet("Partial", "Console", {{"a2.rom", "A"}, {"z.rom", "ZZZZ"}});
  AddSet("Tool", "Computer", {{"tool.rom", "tool"}, {"tool2.rom", "tool two"}});
  EXPECT_EQ(ShowZip("both.zip",
                    {ZipMember("a.rom", "A"), ZipMember("b.rom", "B"), ZipMember("c.rom", "CC"),
                     ZipMember("s.rom", "SSS"), ZipMember("z-tool.rom", "tool")}),
            "Trio.zip");
  EXPECT_EQ(Fields()[2], "Console");
  EXPECT_EQ(Session().current_system, "Computer");  // the member met last
  EXPECT_TRUE(Owned(single) && Owned(trio) && !Owned(partial));
  EXPECT_NE(home_.Log().find(Member("a.rom", "A", "II")), std::string::npos);  // in two sets
  EXPECT_FALSE(AnyFoundFlag());
}

TEST_F(ArchiveTest, OfTwoEqualSetsTheOneCountedLaterIsShown) {
  AddSet("Zed", "Console", {{"z.rom", "zz"}});
  AddSet("Ay", "Console", {{"a.rom", "aa"}});
  // Members are visited in name order: a.rom first, so Zed is counted later.
  EXPECT_EQ(ShowZip("two.zip", {ZipMember("z.rom", "zz"), ZipMember("a.rom", "aa")}), "Zed.zip");
}

TEST_F(ArchiveTest, ASetIsCompleteWhenEachOfItsRomsIsFoundInThisArchive) {
  const int32_t pair = AddSet("Pair", "Console", {{"one.rom", "first"}, {"two.rom", "second"}});
  const int32_t twice = AddSet("Twice", "Console", {{"x.rom", "same"}, {"y.rom", "same"}});
  // Two copies of one ROM do not stand in for the missing one.
  EXPECT_EQ(ShowZip("copies.zip", {ZipMember("one.rom", "first"), ZipMember("1.rom", "first")}),
            "Unknown");
  EXPECT_EQ(Session().tally.entries.size(), 1u);
  EXPECT_EQ(Session().tally.entries[0].roms_matched, 1);
  // Nor does a found flag left by a plain file.
  WriteFile(home_.Path("two.rom"), "second");
  EXPECT_TRUE(Show(home_.Path("two.rom")));
  EXPECT_EQ(ShowZip("half.zip", {ZipMember("one.rom", "first")}), "Unknown");
  EXPECT_FALSE(Owned(pair));
  // A set that lists one ROM twice is completed by one member.
  EXPECT_EQ(ShowZip("twice.zip", {ZipMember("x.rom", "same")}), "Twice.zip");
  EXPECT_TRUE(Owned(twice));
}

TEST_F(ArchiveTest, MembersLandFlatInTmpAndAreAllListedForDeletion) {
  const int32_t set = AddSet("Set", "Console", {{"a.rom", "new"}, {"b.rom", "bee"}});
  WriteFile(home_.Path("tmp/left-over/inside.bin"), "kept");  // a stray folder is no member
  EXPECT_EQ(ShowZip("folders.zip", {ZipMember("disk1/", ""), ZipMember("disk1/a.rom", "old"),
                                    ZipMember("disk2\\a.rom", "new"), ZipMember(".hidden", "h"),
                                    ZipMember("disk2/sub/b.rom", "bee")}),
            "Set.zip");
  EXPECT_TRUE(Owned(set));
  // The later of two members of one name stays; a dot file is listed but not identified.
  EXPECT_EQ(home_.Log().find("hidden"), std::string::npos);
  EXPECT_EQ(Session().extracted_files,
            (std::vector<std::string>{Tmp(".hidden"), Tmp("a.rom"), Tmp("b.rom")}));
  WriteFile(home_.Path("x.bin"), "x");
  Show(home_.Path("x.bin"));
  EXPECT_EQ(TmpFiles(), std::vector<std::string>{"left-over/inside.bin"});
}

TEST_F(ArchiveTest, AFullDiskOrAnUnwritableTmpIsAnExtractionFailure) {
  const std::string a(5000, 'a'), b(5000, 'b');
  const int32_t set = AddSet("Pair", "Console", {{"a.rom", a}, {"b.rom", b}});
  WriteZip(home_.Path("pair.zip"), {ZipMember("a.rom", a, 8), ZipMember("b.rom", b, 8)});
  {
    FaultEnv env;
    ScopedEnv scoped(&env);
    env.DiskFullAfter(7000, home_.Path("tmp"));
    EXPECT_FALSE(Show(home_.Path("pair.zip")));
    EXPECT_EQ(Session().extracted_files.size(), 2u);
    std::filesystem::remove_all(home_.Path("tmp"));
    env.Clear();
    env.FailPathsContaining(EnvOp::kCreateFolder, home_.Path("tmp"));
    EXPECT_FALSE(Show(home_.Path("pair.zip")));
  }
  const std::string failed = "Cannot extract: " + home_.Path("pair.zip") + "\r\n";
  EXPECT_EQ(home_.Log(), failed + failed);
  EXPECT_EQ(Fields(), std::vector<std::string>(5, "Error"));
  EXPECT_FALSE(Owned(set));
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
  EXPECT_EQ(home_.Log().substr(before), "File unzipped: " + half + "\r\n Containing:\r\n" +
                                            Member("a.rom", "aaaa", "I") + " No set found\r\n\r\n");
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
}

TEST_F(ArchiveTest, LargeArchivesAreCountedWhole) {
  std::vector<ZipMember> members;
  for (int i = 1000; i < 1300; ++i) {
    const std::string name = "rom" + std::to_string(i) + ".bin";
    AddSet("Set" + std::to_string(i), "Console", {{name, "contents of " + name}});
    members.emplace_back(name, "contents of " + name);
  }
  EXPECT_EQ(ShowZip("many.zip", members), "Set1299.zip");
  EXPECT_EQ(Session().extracted_files.size(), 300u);
  for (uint32_t s = 0; s < 300; ++s) EXPECT_TRUE(Database().GetSet(s).owned) << s;
}

}  // namespace
}  // namespace cartidex::test
