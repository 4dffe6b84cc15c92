#include "zip/zip_extractor.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/env.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

std::string Bytes(size_t n, unsigned seed) {
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
  return s;
}

// Extracts `members` from an archive in `dir` into dir/out and gives ExtractAll's answer.
bool ExtractInto(const TempDir& dir, const std::vector<ZipMember>& members, bool ignore_paths) {
  WriteZip(dir.Path("a.zip"), members);
  ZipExtractor zip;
  EXPECT_TRUE(zip.Open(dir.Path("a.zip").c_str()));
  EXPECT_TRUE(zip.SetOutputFolder(dir.Path("out/")));
  return zip.ExtractAll(ignore_paths);
}

TEST(ZipExtractorTest, MembersComeOutWithTheirStoredTime) {
  TempDir dir;
  const uint32_t no_month = kTestDosTime & ~(0xFu << 21);  // an invalid stamp is no failure
  ASSERT_TRUE(ExtractInto(
      dir, {ZipMember("stored.bin", "plain bytes"), ZipMember("odd.bin", "o").Stamp(no_month)},
      true));
  EXPECT_EQ(ReadFile(dir.Path("out/stored.bin")) + ReadFile(dir.Path("out/odd.bin")),
            "plain byteso");
  WriteFile(dir.Path("stamped"), "s");
  ASSERT_TRUE(RealEnv()->SetFileTimesFromDos(dir.Path("stamped"), kTestDosTime).ok());
  EXPECT_EQ(std::filesystem::last_write_time(dir.Path("out/stored.bin")),
            std::filesystem::last_write_time(dir.Path("stamped")));
}

TEST(ZipExtractorTest, FoldersAreFlattenedOrKeptButNeverLeft) {
  const std::vector<ZipMember> members = {ZipMember("games/", ""), ZipMember("games/a.rom", "A"),
                                          ZipMember("disks\\side\\b.rom", "B"),
                                          ZipMember(std::string("nul\0byte.rom", 12), "n")};
  TempDir flat, kept;
  ASSERT_TRUE(ExtractInto(flat, members, true));
  ASSERT_TRUE(ExtractInto(kept, members, false));
  EXPECT_EQ(ListTree(flat.Path("out")), (Lines{"a.rom", "b.rom", "nul_byte.rom"}));
  EXPECT_EQ(ListTree(kept.Path("out")), (Lines{"disks/side/b.rom", "games/a.rom", "nul_byte.rom"}));
  for (const char* name :
       {"a/../../evil.rom", "/abs.rom", "\\abs.rom", "C:\\evil.rom", "ok/..\\evil.rom"}) {
    TempDir dir;
    EXPECT_FALSE(ExtractInto(dir, {ZipMember(name, "x")}, false)) << name;
    EXPECT_EQ(ListTree(dir.path()), Lines{"a.zip"}) << name;
  }
}

// A member that cannot be extracted stops the extraction after what came before; nothing is
// ever written past the size the directory declares.
TEST(ZipExtractorTest, MembersThatCannotBeExtractedStopTheExtraction) {
  const std::string data = Bytes(50000, 3);
  const std::pair<ZipMember, bool> kCases[] = {
      // the member; whether its file is made
      {ZipMember("m.rom", "packed", 77).Declare(0), true},
      {ZipMember("m.rom", data).Declare(1000), true},
      {ZipMember("m.rom", data, 8).Declare(1000), true},
      {ZipMember("m.rom", data, 8).Declare(60000), true},
      {ZipMember("m.rom", "tiny", 8).Declare(0x100000000ull), false}};
  for (const auto& [member, written] : kCases) {
    TempDir dir;
    const uint64_t declared = *member.declared_size;
    EXPECT_FALSE(
        ExtractInto(dir, {ZipMember("first.rom", "1"), member, ZipMember("never.rom", "3")}, true))
        << declared;
    const Lines want = {"first.rom", "m.rom"};
    EXPECT_EQ(ListTree(dir.Path("out")), Lines(want.begin(), want.end() - !written)) << declared;
    EXPECT_LE(written ? ReadFile(dir.Path("out/m.rom")).size() : 0, declared);
  }
}

TEST(ZipExtractorTest, LongNamesAreReadWholeAndTooLongOnesFail) {
  TempDir dir;
  ZipEntryInfo info;
  // Names and comments around the length read at first.
  for (const size_t length : {size_t{511}, size_t{512}, size_t{513}}) {
    const std::string name = "d/" + std::string(length - 2, 'n'), comment(length + 1, 'c');
    WriteZip(dir.Path("long.zip"), {ZipMember(name, "x").Comment(comment)});
    ZipExtractor zip(dir.Path("long.zip").c_str());
    ASSERT_TRUE(zip.GetCurrentEntryInfo(&info));
    EXPECT_EQ(info.name + "|" + info.comment, "d\\" + name.substr(2) + "|" + comment) << length;
  }
  WriteZip(dir.Path("b.zip"), {ZipMember(std::string(300, 'x'), "y")});
  ZipExtractor too_long(dir.Path("b.zip").c_str());
  EXPECT_FALSE(too_long.ExtractAllTo(dir.Path("flat").c_str(), true));
  EXPECT_TRUE(ListTree(dir.Path("flat")).empty());
}

}  // namespace
}  // namespace cartidex::test
