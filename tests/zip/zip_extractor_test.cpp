#include "zip/zip_extractor.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "support/fault_env.h"
#include "support/scoped_time_zone.h"
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

TEST(ZipExtractorTest, StoredAndDeflatedMembersComeOutWhole) {
  TempDir dir;
  const std::string big = Bytes(100000, 7);  // several copy buffers
  ASSERT_TRUE(ExtractInto(dir,
                          {ZipMember("stored.bin", "plain bytes"),
                           ZipMember("deflated.bin", big, 8), ZipMember("empty.bin", "")},
                          true));
  EXPECT_EQ(ListTree(dir.Path("out")),
            (std::vector<std::string>{"deflated.bin", "empty.bin", "stored.bin"}));
  EXPECT_EQ(ReadFile(dir.Path("out/stored.bin")), "plain bytes");
  EXPECT_EQ(ReadFile(dir.Path("out/deflated.bin")), big);
  EXPECT_EQ(ReadFile(dir.Path("out/empty.bin")), "");
}

TEST(ZipExtractorTest, FoldersAreFlattenedOrKeptAndBothSlashesSeparate) {
  const std::vector<ZipMember> members = {ZipMember("games/", ""), ZipMember("games/a.rom", "A"),
                                          ZipMember("disks\\side\\b.rom", "B"),
                                          ZipMember("empty-folder/", "")};
  TempDir flat;
  ASSERT_TRUE(ExtractInto(flat, members, true));
  EXPECT_EQ(ListTree(flat.Path("out")), (std::vector<std::string>{"a.rom", "b.rom"}));
  EXPECT_FALSE(Exists(flat.Path("out/games")));

  TempDir kept;
  ASSERT_TRUE(ExtractInto(kept, members, false));
  EXPECT_EQ(ListTree(kept.Path("out")),
            (std::vector<std::string>{"disks/side/b.rom", "games/a.rom"}));
  // Folder members create nothing of their own.
  EXPECT_FALSE(Exists(kept.Path("out/empty-folder")));
}

TEST(ZipExtractorTest, SameNameInTwoFoldersLeavesTheLaterOneWhenFlattened) {
  TempDir dir;
  ASSERT_TRUE(ExtractInto(
      dir, {ZipMember("one/same.rom", "first, longer"), ZipMember("two/same.rom", "second")},
      true));
  EXPECT_EQ(ListTree(dir.Path("out")), std::vector<std::string>{"same.rom"});
  EXPECT_EQ(ReadFile(dir.Path("out/same.rom")), "second");
}

TEST(ZipExtractorTest, NamesThatWouldLeaveTheFolderAreRefusedWithPathsKept) {
  for (const char* name : {"../evil.rom", "a/../../evil.rom", "/abs.rom", "\\abs.rom",
                           "C:\\evil.rom", "ok/..\\evil.rom"}) {
    TempDir dir;
    EXPECT_FALSE(ExtractInto(dir, {ZipMember(name, "x")}, false)) << name;
    EXPECT_TRUE(ListTree(dir.path()) == std::vector<std::string>{"a.zip"}) << name;
  }
  // Ignoring paths, the same names land inside; names reduced to nothing are skipped.
  TempDir dir;
  ASSERT_TRUE(ExtractInto(dir,
                          {ZipMember("../up.rom", "u"), ZipMember("C:\\drive.rom", "d"),
                           ZipMember("x/..", "dots"), ZipMember("x/.", "dot")},
                          true));
  EXPECT_EQ(ListTree(dir.path()),
            (std::vector<std::string>{"a.zip", "out/drive.rom", "out/up.rom"}));
}

TEST(ZipExtractorTest, LongNamesAreReadWholeAndTooLongOnesFail) {
  TempDir dir;
  const std::string folder(200, 'f');
  const std::string file = std::string(240, 'n') + ".rom";
  WriteZip(dir.Path("a.zip"), {ZipMember(folder + "/" + file, "long")});
  ZipExtractor zip(dir.Path("a.zip").c_str());
  ZipEntryInfo info;
  ASSERT_TRUE(zip.GetCurrentEntryInfo(&info));
  EXPECT_EQ(info.name, folder + "\\" + file);
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

TEST(ZipExtractorTest, BytesNoFileNameCanHoldBecomeUnderscores) {
  TempDir dir;
  ASSERT_TRUE(ExtractInto(dir, {ZipMember(std::string("nul\0byte.rom", 12), "n")}, true));
  EXPECT_EQ(ListTree(dir.Path("out")), std::vector<std::string>{"nul_byte.rom"});
}

class UnsupportedMethodTest : public ::testing::TestWithParam<uint16_t> {};

// bzip2, LZMA and an unknown number.
INSTANTIATE_TEST_SUITE_P(Methods, UnsupportedMethodTest, ::testing::Values(12, 14, 77));

TEST_P(UnsupportedMethodTest, LeavesAnEmptyFileAndStops) {
  TempDir dir;
  EXPECT_FALSE(ExtractInto(dir,
                           {ZipMember("first.rom", "1"), ZipMember("odd.rom", "packed", 12),
                            ZipMember("never.rom", "3")},
                           true));
  EXPECT_EQ(ListTree(dir.Path("out")), (std::vector<std::string>{"first.rom", "odd.rom"}));
  EXPECT_EQ(ReadFile(dir.Path("out/odd.rom")), "");
}

TEST(ZipExtractorTest, DataBeyondOrShortOfTheDeclaredSizeFails) {
  const std::string data = Bytes(50000, 3);
  for (uint16_t method : {uint16_t{0}, uint16_t{8}}) {
    TempDir longer;
    EXPECT_FALSE(ExtractInto(longer, {ZipMember("m.rom", data, method).Declare(1000)}, true));
    // Never written past the declared size.
    EXPECT_LE(ReadFile(longer.Path("out/m.rom")).size(), 1000u);

    TempDir shorter;
    EXPECT_FALSE(ExtractInto(shorter, {ZipMember("m.rom", data, method).Declare(60000)}, true));
  }
}

TEST(ZipExtractorTest, MemberDeclaringFourGibibytesIsRefusedUnwritten) {
  TempDir dir;
  EXPECT_FALSE(ExtractInto(dir, {ZipMember("huge.rom", "tiny", 8).Declare(0x100000000ull)}, true));
  EXPECT_TRUE(ListTree(dir.Path("out")).empty());
}

TEST(ZipExtractorTest, FullDiskFailsTheExtraction) {
  TempDir dir;
  FaultEnv env;
  ScopedEnv scoped(&env);
  env.DiskFullAfter(30000);
  EXPECT_FALSE(ExtractInto(dir,
                           {ZipMember("a.rom", Bytes(20000, 1), 8),
                            ZipMember("b.rom", Bytes(20000, 2), 8), ZipMember("c.rom", "c")},
                           true));
  EXPECT_EQ(ListTree(dir.Path("out")), (std::vector<std::string>{"a.rom", "b.rom"}));
}

TEST(ZipExtractorTest, ArchiveWithoutMembersCountsNothingAndExtractsNothing) {
  TempDir dir;
  WriteZip(dir.Path("empty.zip"), {});
  ZipExtractor zip(dir.Path("empty.zip").c_str());
  // The library refuses to open a directory without entries; either way nothing is counted.
  EXPECT_EQ(zip.GetFileCount(), 0u);
  EXPECT_FALSE(zip.ExtractAllTo(dir.Path("out").c_str(), true));
  EXPECT_FALSE(zip.ExtractAll(true));
}

TEST(ZipExtractorTest, OpenCloseAndTheDefaultOutputFolder) {
  TempDir dir;
  WriteZip(dir.Path("my.roms/pack.zip"), {ZipMember("a", "a")});
  WriteZip(dir.Path("my.roms/pack"), {ZipMember("a", "a")});
  WriteFile(dir.Path("nozip.zip"), "this is no archive at all");

  ZipExtractor zip;
  EXPECT_EQ(zip.output_folder(), "");
  EXPECT_EQ(zip.GetFileCount(), 0u);
  EXPECT_FALSE(zip.ExtractAll(true));
  ZipEntryInfo untouched;
  untouched.crc32 = 42;
  EXPECT_FALSE(zip.GetCurrentEntryInfo(&untouched));
  EXPECT_EQ(untouched.crc32, 42u);

  ASSERT_TRUE(zip.Open(dir.Path("my.roms/pack.zip").c_str()));
  EXPECT_EQ(zip.output_folder(), dir.Path("my.roms/pack"));
  EXPECT_EQ(zip.GetFileCount(), 1u);
  ASSERT_TRUE(zip.Open(dir.Path("my.roms/pack").c_str()));
  EXPECT_EQ(zip.output_folder(), dir.Path("my"));  // cut at the folder's dot
  EXPECT_FALSE(zip.Open(dir.Path("nozip.zip").c_str()));
  EXPECT_EQ(zip.output_folder(), dir.Path("my"));
  EXPECT_FALSE(zip.Open(dir.Path("missing.zip").c_str()));

  ASSERT_TRUE(zip.Open(dir.Path("my.roms/pack.zip").c_str()));
  EXPECT_FALSE(zip.Open(nullptr));
  EXPECT_FALSE(zip.is_open());
  ASSERT_TRUE(zip.Open(dir.Path("my.roms/pack.zip").c_str()));
  EXPECT_TRUE(zip.Close());
  EXPECT_FALSE(zip.Close());
}

TEST(ZipExtractorTest, FoldersAreCreatedParentsFirstAndFilesAreNoFolders) {
  TempDir dir;
  WriteFile(dir.Path("file"), "x");
  ZipExtractor zip;
  EXPECT_TRUE(zip.CreateFolder(dir.Path("p/q/r")));
  EXPECT_TRUE(Exists(dir.Path("p/q/r")));
  EXPECT_TRUE(zip.CreateFolder(dir.Path("p/q/r/")));
  EXPECT_FALSE(zip.CreateFolder(dir.Path("file")));
  EXPECT_FALSE(zip.CreateFolder(dir.Path("file/below")));
  EXPECT_FALSE(zip.CreateFolder(""));
  EXPECT_TRUE(zip.CreateParentFolders(dir.Path("s/t/name.rom")));
  EXPECT_TRUE(Exists(dir.Path("s/t")));
  EXPECT_FALSE(Exists(dir.Path("s/t/name.rom")));
  EXPECT_FALSE(zip.CreateParentFolders("name-only.rom"));

  EXPECT_FALSE(zip.SetOutputFolder(dir.Path("file")));
  EXPECT_EQ(zip.output_folder(), "");
  EXPECT_TRUE(zip.SetOutputFolder(dir.Path("u/v/")));
  EXPECT_EQ(zip.output_folder(), dir.Path("u/v/"));
  // The text stands even when the folder cannot be made.
  FaultEnv env;
  ScopedEnv scoped(&env);
  env.FailPathsContaining(EnvOp::kCreateFolder, "cannot");
  EXPECT_FALSE(zip.SetOutputFolder(dir.Path("cannot/w")));
  EXPECT_EQ(zip.output_folder(), dir.Path("cannot/w"));
}

// Times are read as local time of the stamp's date: the zone is fixed for these checks.
class ZipTimesTest : public ::testing::Test {
 protected:
  static time_t ModificationTime(const std::string& path) {
    struct stat st;
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mtime;
  }

 private:
#ifndef _WIN32
  ScopedTimeZone zone_{"CXT-3"};  // three hours east of UTC, no daylight saving
#endif
};

TEST_F(ZipTimesTest, ExtractedFileCarriesTheStoredLocalTime) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows takes its time zone from the system, not from TZ: it cannot be fixed";
#endif
  TempDir dir;
  ASSERT_TRUE(ExtractInto(dir, {ZipMember("t.rom", "t", 8)}, true));
  // 2021-06-15 13:45:30 at UTC+3 is 10:45:30 UTC.
  EXPECT_EQ(ModificationTime(dir.Path("out/t.rom")), time_t{1623753930});
}

TEST_F(ZipTimesTest, InvalidStampsLeaveTheTimesUnsetButExtract) {
  const uint32_t month0 = ((41u << 9 | 0u << 5 | 15u) << 16) | (13u << 11);
  const uint32_t day0 = ((41u << 9 | 6u << 5 | 0u) << 16) | (13u << 11);
  const uint32_t sec60 = ((41u << 9 | 6u << 5 | 15u) << 16) | (13u << 11 | 30u);
  for (uint32_t stamp : {month0, day0, sec60}) {
    TempDir dir;
    const time_t before = std::time(nullptr);
    ASSERT_TRUE(ExtractInto(dir, {ZipMember("t.rom", "t").Stamp(stamp)}, true));
    EXPECT_GE(ModificationTime(dir.Path("out/t.rom")), before - 5);
  }
}

TEST(ZipExtractorTest, EntryInfoCopiesTheDirectory) {
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

  // Names and comments around the length read at first are whole.
  for (size_t length : {size_t{511}, size_t{512}, size_t{513}, size_t{5000}}) {
    SCOPED_TRACE(length);
    const std::string name = "d/" + std::string(length - 2, 'n');
    const std::string comment(length + 1, 'c');
    WriteZip(dir.Path("long.zip"), {ZipMember(name, "x").Comment(comment)});
    ZipExtractor long_zip(dir.Path("long.zip").c_str());
    ASSERT_TRUE(long_zip.GetCurrentEntryInfo(&info));
    EXPECT_EQ(info.name, "d\\" + name.substr(2));
    EXPECT_EQ(info.comment, comment);
  }
}

}  // namespace
}  // namespace cartidex::test
