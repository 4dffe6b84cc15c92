#include "zip/zip_extractor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

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

TEST(ZipExtractorTest, MembersComeOutWholeWithTheirStoredTime) {
  TempDir dir;
  const std::string big = Bytes(ZipExtractor::kCopyBufferSize + 1000, 7);
  const uint32_t no_month = kTestDosTime & ~(0xFu << 21);
  ASSERT_TRUE(ExtractInto(dir,
                          {ZipMember("stored.bin", "plain bytes"), ZipMember("big.bin", big, 8),
                           ZipMember("empty.bin", ""), ZipMember("odd.bin", "o").Stamp(no_month)},
                          true));
  EXPECT_EQ(ReadFile(dir.Path("out/stored.bin")) + ReadFile(dir.Path("out/empty.bin")) +
                ReadFile(dir.Path("out/odd.bin")),  // an invalid stamp is no failure
            "plain byteso");
  EXPECT_EQ(ReadFile(dir.Path("out/big.bin")), big);
  WriteFile(dir.Path("stamped"), "s");
  ASSERT_TRUE(RealEnv()->SetFileTimesFromDos(dir.Path("stamped"), kTestDosTime).ok());
  EXPECT_EQ(std::filesystem::last_write_time(dir.Path("out/stored.bin")),
            std::filesystem::last_write_time(dir.Path("stamped")));
}

TEST(ZipExtractorTest, FoldersAreFlattenedOrKeptButNeverLeft) {
  const std::vector<ZipMember> members = {
      ZipMember("games/", ""), ZipMember("games/a.rom", "A"), ZipMember("disks\\side\\b.rom", "B"),
      ZipMember("empty-folder/", ""), ZipMember(std::string("nul\0byte.rom", 12), "n")};
  TempDir flat, kept;
  ASSERT_TRUE(ExtractInto(flat, members, true));
  EXPECT_EQ(ListTree(flat.Path("out")),
            (std::vector<std::string>{"a.rom", "b.rom", "nul_byte.rom"}));
  ASSERT_TRUE(ExtractInto(kept, members, false));
  EXPECT_EQ(ListTree(kept.Path("out")),
            (std::vector<std::string>{"disks/side/b.rom", "games/a.rom", "nul_byte.rom"}));
  for (const char* name : {"../evil.rom", "a/../../evil.rom", "/abs.rom", "\\abs.rom",
                           "C:\\evil.rom", "ok/..\\evil.rom"}) {
    TempDir dir;
    EXPECT_FALSE(ExtractInto(dir, {ZipMember(name, "x")}, false)) << name;
    EXPECT_EQ(ListTree(dir.path()), std::vector<std::string>{"a.zip"}) << name;
  }
}

// A member that cannot be extracted as it stands stops the extraction after what came before;
// nothing is ever written past the size the directory declares.
TEST(ZipExtractorTest, MembersThatCannotBeExtractedStopTheExtraction) {
  const std::string data = Bytes(50000, 3);
  // clang-format off
  const std::pair<ZipMember, bool> kCases[] = {  // the member; whether its file is made
      {ZipMember("m.rom", "packed", 12).Declare(0), true},  // bzip2
      {ZipMember("m.rom", "packed", 14).Declare(0), true},  // LZMA
      {ZipMember("m.rom", "packed", 77).Declare(0), true},
      {ZipMember("m.rom", data).Declare(1000), true},
      {ZipMember("m.rom", data, 8).Declare(1000), true},
      {ZipMember("m.rom", data).Declare(60000), true},
      {ZipMember("m.rom", data, 8).Declare(60000), true},
      {ZipMember("m.rom", "tiny", 8).Declare(0x100000000ull), false}};
  // clang-format on
  for (const auto& [member, written] : kCases) {
    TempDir dir;
    const uint64_t declared = *member.declared_size;
    EXPECT_FALSE(
        ExtractInto(dir, {ZipMember("first.rom", "1"), member, ZipMember("never.rom", "3")}, true))
        << declared;
    const std::vector<std::string> want = {"first.rom", "m.rom"};
    EXPECT_EQ(ListTree(dir.Path("out")), Lines(want.begin(), want.end() - !written)) << declared;
    EXPECT_LE(written ? ReadFile(dir.Path("out/m.rom")).size() : 0, declared);
  }
}

TEST(ZipExtractorTest, LongNamesAreReadWholeAndTooLongOnesFail) {
  TempDir dir;
  const std::string folder(200, 'f'), file = std::string(240, 'n') + ".rom";
  WriteZip(dir.Path("a.zip"), {ZipMember(folder + "/" + file, "long")});
  ZipExtractor zip(dir.Path("a.zip").c_str());
#ifndef _WIN32
  EXPECT_TRUE(zip.ExtractCurrentEntry(dir.Path("kept").c_str(), false));
  EXPECT_EQ(ReadFile(dir.Path("kept/" + folder + "/" + file)), "long");
#else
  // Here the whole path may hold 259 bytes: that member's path is too long, and nothing is cut.
  EXPECT_FALSE(zip.ExtractCurrentEntry(dir.Path("kept").c_str(), false));
  EXPECT_TRUE(ListTree(dir.Path("kept")).empty());
#endif
  WriteZip(dir.Path("b.zip"), {ZipMember(std::string(300, 'x'), "y")});
  ZipExtractor too_long(dir.Path("b.zip").c_str());
  EXPECT_FALSE(too_long.ExtractAllTo(dir.Path("flat").c_str(), true));
  EXPECT_TRUE(ListTree(dir.Path("flat")).empty());
}

TEST(ZipExtractorTest, EntryInfoCopiesTheDirectoryWhole) {
  TempDir dir;
  WriteZip(dir.Path("a.zip"), {ZipMember("dir/x.rom", "hello", 8).Comment("a comment")});
  ZipExtractor zip(dir.Path("a.zip").c_str());
  ZipEntryInfo info;
  ASSERT_TRUE(zip.GetCurrentEntryInfo(&info));
  EXPECT_EQ(info.name + "|" + info.comment, "dir\\x.rom|a comment");
  EXPECT_EQ(std::make_tuple(info.compression_method, info.dos_date_time, info.crc32,
                            info.uncompressed_size, info.is_folder),
            std::make_tuple(8u, kTestDosTime, Crc32("hello"), 5u, false));
  // Names and comments around the length read at first.
  for (const size_t length : {size_t{511}, size_t{512}, size_t{513}, size_t{5000}}) {
    const std::string name = "d/" + std::string(length - 2, 'n'), comment(length + 1, 'c');
    WriteZip(dir.Path("long.zip"), {ZipMember(name, "x").Comment(comment)});
    ZipExtractor long_zip(dir.Path("long.zip").c_str());
    ASSERT_TRUE(long_zip.GetCurrentEntryInfo(&info));
    EXPECT_EQ(info.name + "|" + info.comment, "d\\" + name.substr(2) + "|" + comment) << length;
  }
}

}  // namespace
}  // namespace cartidex::test
