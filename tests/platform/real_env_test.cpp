// The contract of the Env over the real OS (POSIX here, Win32 in the Windows build): the same
// outcomes on every platform. Moves never replace, listings are filtered and sorted, times, ids.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/env.h"
#include "platform/path.h"
#include "support/scoped_time_zone.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

std::vector<std::string> Names(const std::vector<DirEntry>& entries) {
  std::vector<std::string> names;
  for (const DirEntry& e : entries) names.push_back(e.name + (e.is_folder ? "/" : ""));
  return names;
}

TEST(RealEnvTest, WriteModesReplaceRefuseOrAppend) {
  TempDir dir;
  Env* env = RealEnv();
  const std::string path = dir.Path("file.bin");
  ASSERT_TRUE(WriteWholeFile(env, path, "first contents").ok());
  ASSERT_TRUE(WriteWholeFile(env, path, "second").ok());
  EXPECT_EQ(ReadFile(path), "second");

  std::unique_ptr<WritableFile> file;
  Status s = env->OpenForWrite(path, WriteMode::kNew, &file);
  EXPECT_EQ(s.code(), Status::Code::kExists);
  EXPECT_EQ(ReadFile(path), "second");

  ASSERT_TRUE(env->OpenForWrite(path, WriteMode::kAppend, &file).ok());
  ASSERT_TRUE(file->Append(" and more").ok());
  // Read while the appending handle is open, as the activity log is read by others.
  std::string contents;
  ASSERT_TRUE(ReadWholeFile(env, path, &contents).ok());
  EXPECT_EQ(contents, "second and more");
  ASSERT_TRUE(file->Close().ok());
  EXPECT_FALSE(file->Append("late").ok());

  ASSERT_TRUE(env->OpenForWrite(dir.Path("new.bin"), WriteMode::kAppend, &file).ok());
  ASSERT_TRUE(file->Close().ok());
  EXPECT_EQ(ReadFile(dir.Path("new.bin")), "");
}

TEST(RealEnvTest, ReadingGivesSizeAndRefusesFoldersAndMissingFiles) {
  TempDir dir;
  Env* env = RealEnv();
  std::string big(200000, 'x');
  for (size_t i = 0; i < big.size(); i += 7) big[i] = static_cast<char>(i & 0xFF);
  WriteFile(dir.Path("big.bin"), big);
  std::unique_ptr<ReadableFile> file;
  ASSERT_TRUE(env->OpenForRead(dir.Path("big.bin"), &file).ok());
  EXPECT_EQ(file->Size(), big.size());
  std::string contents;
  ASSERT_TRUE(ReadWholeFile(env, dir.Path("big.bin"), &contents).ok());
  EXPECT_EQ(contents, big);

  EXPECT_EQ(env->OpenForRead(dir.Path("missing.bin"), &file).code(), Status::Code::kNotFound);
  MakeDirs(dir.Path("folder"));
  EXPECT_FALSE(env->OpenForRead(dir.Path("folder"), &file).ok());
}

TEST(RealEnvTest, FoldersKindsAndDeletion) {
  TempDir dir;
  Env* env = RealEnv();
  EXPECT_TRUE(env->CreateFolder(dir.Path("a")).ok());
  EXPECT_EQ(env->CreateFolder(dir.Path("a")).code(), Status::Code::kExists);
  EXPECT_EQ(env->CreateFolder(dir.Path("missing/b")).code(), Status::Code::kNotFound);
  WriteFile(dir.Path("a/file.txt"), "x");
  EXPECT_EQ(env->GetKind(dir.Path("a")), FileKind::kFolder);
  EXPECT_EQ(env->GetKind(dir.Path("a/file.txt")), FileKind::kFile);
  EXPECT_EQ(env->GetKind(dir.Path("a/none.txt")), FileKind::kMissing);
  EXPECT_EQ(env->GetKind(""), FileKind::kMissing);

  EXPECT_FALSE(env->DeleteFile(dir.Path("a")).ok());
  EXPECT_EQ(env->GetKind(dir.Path("a")), FileKind::kFolder);
  EXPECT_TRUE(env->DeleteFile(dir.Path("a/file.txt")).ok());
  EXPECT_FALSE(Exists(dir.Path("a/file.txt")));
  EXPECT_EQ(env->DeleteFile(dir.Path("a/file.txt")).code(), Status::Code::kNotFound);
}

TEST(RealEnvTest, ListingFiltersOnTheWholeNameAndSortsFoldedToUpperCase) {
  TempDir dir;
  Env* env = RealEnv();
  std::vector<std::string> names = {"beta.zip",  "Alpha.ZIP", "gamma.zipx", "x.zip.bak",
                                    "delta.bin", "zip",       "_u.zip",     "Z.zip"};
#ifndef _WIN32
  names.push_back("Beta.zip");  // one file with beta.zip where letter case folds
#endif
  for (const std::string& name : names) WriteFile(dir.Path(name), name);
  MakeDirs(dir.Path("Sub.zip"));
  std::vector<DirEntry> entries;
  ASSERT_TRUE(env->ListFolder(dir.path(), "*.zip", &entries).ok());
  // Upper-case folding puts '_' after the letters; ties go by raw bytes.
  std::vector<std::string> want = {"Alpha.ZIP", "beta.zip", "Sub.zip/", "Z.zip", "_u.zip"};
#ifndef _WIN32
  want.insert(want.begin() + 1, "Beta.zip");
#endif
  EXPECT_EQ(Names(entries), want);
  ASSERT_TRUE(env->ListFolder(dir.path() + kSeparator, "*.*", &entries).ok());
  // Names without a dot too; never "." or "..".
  want = {"Alpha.ZIP", "beta.zip", "delta.bin", "gamma.zipx", "Sub.zip/",
          "x.zip.bak", "Z.zip",    "zip",       "_u.zip"};
#ifndef _WIN32
  want.insert(want.begin() + 1, "Beta.zip");
#endif
  EXPECT_EQ(Names(entries), want);

  MakeDirs(dir.Path("empty"));
  ASSERT_TRUE(env->ListFolder(dir.Path("empty"), "*.*", &entries).ok());
  EXPECT_TRUE(entries.empty());
  EXPECT_FALSE(env->ListFolder(dir.Path("missing"), "*.*", &entries).ok());
  EXPECT_FALSE(env->ListFolder(dir.Path("delta.bin"), "*.*", &entries).ok());
}

TEST(RealEnvTest, MovesNeverReplaceAndKeepTheFile) {
  TempDir dir;
  Env* env = RealEnv();
  WriteFile(dir.Path("a.rom"), "a");
  WriteFile(dir.Path("b.rom"), "b");
  FileId before;
  ASSERT_TRUE(env->GetFileId(dir.Path("a.rom"), &before).ok());

  EXPECT_EQ(env->MoveFile(dir.Path("a.rom"), dir.Path("b.rom")).code(), Status::Code::kExists);
  EXPECT_EQ(ReadFile(dir.Path("a.rom")), "a");
  EXPECT_EQ(ReadFile(dir.Path("b.rom")), "b");

  EXPECT_FALSE(env->MoveFile(dir.Path("a.rom"), dir.Path("missing/a.rom")).ok());
  EXPECT_EQ(ReadFile(dir.Path("a.rom")), "a");

  MakeDirs(dir.Path("sorted"));
  ASSERT_TRUE(env->MoveFile(dir.Path("a.rom"), dir.Path("sorted/Renamed.rom")).ok());
  EXPECT_FALSE(Exists(dir.Path("a.rom")));
  EXPECT_EQ(ReadFile(dir.Path("sorted/Renamed.rom")), "a");
  FileId after;
  ASSERT_TRUE(env->GetFileId(dir.Path("sorted/Renamed.rom"), &after).ok());
  EXPECT_EQ(before, after);
  EXPECT_EQ(env->MoveFile(dir.Path("a.rom"), dir.Path("c.rom")).code(), Status::Code::kNotFound);
}

TEST(RealEnvTest, FileIdsTellTheSameFileFromAnother) {
  TempDir dir;
  Env* env = RealEnv();
  WriteFile(dir.Path("one.bin"), "same bytes");
  WriteFile(dir.Path("two.bin"), "same bytes");
  FileId one, one_again, two, folder;
  ASSERT_TRUE(env->GetFileId(dir.Path("one.bin"), &one).ok());
  ASSERT_TRUE(env->GetFileId(JoinPath(JoinPath(dir.path(), "."), "one.bin"), &one_again).ok());
  ASSERT_TRUE(env->GetFileId(dir.Path("two.bin"), &two).ok());
  ASSERT_TRUE(env->GetFileId(dir.path(), &folder).ok());
  EXPECT_EQ(one, one_again);
  EXPECT_NE(one, two);
  EXPECT_NE(one, folder);
  EXPECT_FALSE(env->GetFileId(dir.Path("none.bin"), &one).ok());
}

TEST(RealEnvTest, DosTimesBecomeLocalModificationTimes) {
  TempDir dir;
  Env* env = RealEnv();
  WriteFile(dir.Path("early.bin"), "x");
  WriteFile(dir.Path("late.bin"), "y");
  auto dos = [](int year, int month, int day, int hour, int minute, int second) {
    return static_cast<uint32_t>(((year - 1980) << 25) | (month << 21) | (day << 16) |
                                 (hour << 11) | (minute << 5) | (second / 2));
  };
  ASSERT_TRUE(env->SetFileTimesFromDos(dir.Path("early.bin"), dos(2001, 1, 10, 12, 0, 0)).ok());
  ASSERT_TRUE(env->SetFileTimesFromDos(dir.Path("late.bin"), dos(2001, 1, 12, 13, 0, 2)).ok());
  namespace fs = std::filesystem;
  auto difference = fs::last_write_time(fs::path(dir.Path("late.bin"))) -
                    fs::last_write_time(fs::path(dir.Path("early.bin")));
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(difference).count(),
            2 * 86400 + 3600 + 2);

  EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("early.bin"), dos(2001, 13, 1, 0, 0, 0)).ok());
  EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("none.bin"), dos(2001, 1, 1, 0, 0, 0)).ok());
#ifndef _WIN32
  // The time zone is fixed here only: a stamp is local time.
  ScopedTimeZone utc("UTC");
  const uint32_t stamp = dos(2001, 2, 3, 4, 5, 6);
  ASSERT_TRUE(env->SetFileTimesFromDos(dir.Path("early.bin"), stamp).ok());
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::file_clock::to_sys(fs::last_write_time(dir.Path("early.bin")))
                    .time_since_epoch())
                .count(),
            981173106);
  EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("early.bin"), stamp & ~(0xFu << 21)).ok());
  EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("early.bin"), stamp & ~(0x1Fu << 16)).ok());
  EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("early.bin"), (stamp & ~0x1Fu) | 30u).ok());
#endif
}

TEST(RealEnvTest, ExecutableAndCurrentDirectory) {
  TempDir dir;
  Env* env = RealEnv();
  EXPECT_EQ(env->GetKind(env->ExecutablePath()), FileKind::kFile);
  const std::string before = env->GetCurrentDirectory();
  ASSERT_FALSE(before.empty());
  ASSERT_TRUE(env->SetCurrentDirectory(dir.path()).ok());
  FileId current, wanted;
  ASSERT_TRUE(env->GetFileId(env->GetCurrentDirectory(), &current).ok());
  ASSERT_TRUE(env->GetFileId(dir.path(), &wanted).ok());
  EXPECT_EQ(current, wanted);
  WriteFile(dir.Path("here.txt"), "x");
  EXPECT_EQ(env->GetKind("here.txt"), FileKind::kFile);
  EXPECT_TRUE(env->SetCurrentDirectory(before).ok());
  EXPECT_FALSE(env->SetCurrentDirectory(dir.Path("missing")).ok());
}

// /dev/shm is another file system than the temporary folder on the machines we test on.
TEST(RealEnvTest, MoveToAnotherFileSystemCopiesKeepsTheTimeAndRemoves) {
  std::error_code ec;
  if (!std::filesystem::is_directory("/dev/shm", ec)) GTEST_SKIP() << "no /dev/shm";
  TempDir dir;
  std::string other = "/dev/shm/cartidex-test-" + std::to_string(std::random_device()());
  MakeDirs(other);
  std::string payload(300000, 'p');
  WriteFile(dir.Path("big.bin"), payload);
  Env* env = RealEnv();
  ASSERT_TRUE(env->SetFileTimesFromDos(dir.Path("big.bin"), (20u << 25) | (3u << 21) | (4u << 16) |
                                                                (5u << 11) | (6u << 5) | 7u)
                  .ok());
  auto before = std::filesystem::last_write_time(dir.Path("big.bin"));
  WriteFile(other + "/taken.bin", "T");
  EXPECT_FALSE(env->MoveFile(dir.Path("big.bin"), other + "/taken.bin").ok());
  EXPECT_EQ(ReadFile(other + "/taken.bin"), "T");
  EXPECT_EQ(ListTree(other), std::vector<std::string>{"taken.bin"});  // no leftover copy

  ASSERT_TRUE(env->MoveFile(dir.Path("big.bin"), other + "/big.bin").ok());
  EXPECT_FALSE(Exists(dir.Path("big.bin")));
  EXPECT_EQ(ReadFile(other + "/big.bin"), payload);
  EXPECT_EQ(std::filesystem::last_write_time(other + "/big.bin"), before);
  EXPECT_EQ(ListTree(other), (std::vector<std::string>{"big.bin", "taken.bin"}));
  std::filesystem::remove_all(other, ec);
}

TEST(RealEnvTest, PathsBeyondTheLimitAreRefusedNotCut) {
  TempDir dir;
  Env* env = RealEnv();
  std::string long_name(kMaxComponent + 1, 'n');
  std::unique_ptr<WritableFile> file;
  Status s = env->OpenForWrite(dir.Path(long_name), WriteMode::kNew, &file);
  EXPECT_EQ(s.code(), Status::Code::kTooLong);
  EXPECT_TRUE(ListTree(dir.path()).empty());
}

}  // namespace
}  // namespace cartidex::test
