#include "zip/zip_extractor.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/env.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

std::string Bytes(size_t n, unsigned seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1103515245u + 12345u;
    s[i] = static_cast<char>(seed >> 16);
  }
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
  EXPECT_EQ(ReadFile(dir.Path("out/stored.bin")), "plain bytes");
  EXPECT_EQ(ReadFile(dir.Path("out/big.bin")), big);
  EXPECT_EQ(ReadFile(dir.Path("out/empty.bin")), "");
  EXPECT_EQ(ReadFile(dir.Path("out/odd.bin")), "o");  // an invalid stamp is no failure
  WriteFile(dir.Path("stamped"), "s");
  ASSERT_TRUE(RealEnv()->SetFileTimesFromDos(dir.Path("stamped"), kTestDosTime).ok());
  EXPECT_EQ(std::filesystem::last_write_time(dir.Path("out/stored.bin")),
            std::filesystem::last_write_time(dir.Path("stamped")));
}

TEST(ZipExtractorTest, FoldersAreFlattenedOrKeptButNeverLeft) {
  const std::vector<ZipMember> members = {
      ZipMember("games/", ""), ZipMember("games/a.rom", "A"), ZipMember("disks\\side\\b.rom", "B"),
      ZipMember("empty-folder/", ""), ZipMember(std::string("nul\0byte.rom", 12), "n")};
  TempDir flat;
  ASSERT_TRUE(ExtractInto(flat, members, true));
  EXPECT_EQ(ListTree(flat.Path("out")),
            (std::vector<std::string>{"a.rom", "b.rom", "nul_byte.rom"}));
  TempDir kept;
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
  struct Case {
    const char* what;
    ZipMember member;
    bool written;  // the member's file is made (and is no longer than declared)
  };
  const Case kCases[] = {
      {"bzip2", ZipMember("m.rom", "packed", 12).Declare(0), true},
      {"LZMA", ZipMember("m.rom", "packed", 14).Declare(0), true},
      {"unknown method", ZipMember("m.rom", "packed", 77).Declare(0), true},
      {"stored, more than declared", ZipMember("m.rom", data).Declare(1000), true},
      {"deflated, more than declared", ZipMember("m.rom", data, 8).Declare(1000), true},
      {"stored, less than declared", ZipMember("m.rom", data).Declare(60000), true},
      {"deflated, less than declared", ZipMember("m.rom", data, 8).Declare(60000), true},
      {"declares 4 GiB", ZipMember("m.rom", "tiny", 8).Declare(0x100000000ull), false},
  };
  for (const Case& c : kCases) {
    TempDir dir;
    EXPECT_FALSE(ExtractInto(
        dir, {ZipMember("first.rom", "1"), c.member, ZipMember("never.rom", "3")}, true))
        << c.what;
    const std::vector<std::string> want = c.written ? std::vector<std::string>{"first.rom", "m.rom"}
                                                    : std::vector<std::string>{"first.rom"};
    EXPECT_EQ(ListTree(dir.Path("out")), want) << c.what;
    if (c.written) {
      EXPECT_LE(ReadFile(dir.Path("out/m.rom")).size(), *c.member.declared_size) << c.what;
    }
  }
}

TEST(ZipExtractorTest, LongNamesAreReadWholeAndTooLongOnesFail) {
  TempDir dir;
  const std::string folder(200, 'f');
  const std::string file = std::string(240, 'n') + ".rom";
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
  // One name longer than a file name may be fails; nothing shortened is written.
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
  EXPECT_EQ(info.name, "dir\\x.rom");
  EXPECT_EQ(info.comment, "a comment");
  EXPECT_EQ(info.compression_method, 8u);
  EXPECT_EQ(info.dos_date_time, kTestDosTime);
  EXPECT_EQ(info.crc32, Crc32("hello"));
  EXPECT_EQ(info.uncompressed_size, 5u);
  EXPECT_FALSE(info.is_folder);
  // Names and comments around the length read at first.
  for (const size_t length : {size_t{511}, size_t{512}, size_t{513}, size_t{5000}}) {
    const std::string name = "d/" + std::string(length - 2, 'n');
    const std::string comment(length + 1, 'c');
    WriteZip(dir.Path("long.zip"), {ZipMember(name, "x").Comment(comment)});
    ZipExtractor long_zip(dir.Path("long.zip").c_str());
    ASSERT_TRUE(long_zip.GetCurrentEntryInfo(&info));
    EXPECT_EQ(info.name, "d\\" + name.substr(2)) << length;
    EXPECT_EQ(info.comment, comment) << length;
  }
}

TEST(ZipExtractorTest, OpenAndClose) {
  TempDir dir;
  WriteZip(dir.Path("my.roms/pack.zip"), {ZipMember("a", "a")});
  WriteFile(dir.Path("nozip.zip"), "this is no archive at all");
  ZipExtractor zip;
  EXPECT_EQ(zip.GetFileCount(), 0u);
  EXPECT_FALSE(zip.ExtractAll(true));
  ASSERT_TRUE(zip.Open(dir.Path("my.roms/pack.zip").c_str()));
  EXPECT_EQ(zip.output_folder(), dir.Path("my.roms/pack"));
  EXPECT_EQ(zip.GetFileCount(), 1u);
  EXPECT_FALSE(zip.Open(dir.Path("nozip.zip").c_str()));
  EXPECT_FALSE(zip.is_open());
  ASSERT_TRUE(zip.Open(dir.Path("my.roms/pack.zip").c_str()));
  EXPECT_TRUE(zip.Close());
  EXPECT_FALSE(zip.Close());
  EXPECT_FALSE(zip.SetOutputFolder(dir.Path("nozip.zip")));  // a file is no folder
}

}  // namespace
}  // namespace cartidex::test
