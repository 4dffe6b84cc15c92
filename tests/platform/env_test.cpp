// The real Env: moves never replace, listings are sorted and filtered, times, ids.
#include "platform/env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/path.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

using test::Exists;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<std::string> Names(const std::vector<DirEntry>& entries) {
  std::vector<std::string> names;
  for (const DirEntry& e : entries) names.push_back(e.name + (e.is_folder ? "/" : ""));
  return names;
}

TEST(EnvTest, ListingsAreFilteredAndSortedLikeTheWindowsOrder) {
  TempDir dir;
  std::vector<std::string> names = {"b.CXI", "a.cxi", "noext", "x.cxi.bak", "_u.cxi", "Z.cxi"};
#ifndef _WIN32
  names.push_back("B.cxi");  // one file with b.CXI where letter case folds
#endif
  for (const std::string& name : names) WriteFile(dir.Path(name), "x");
  test::MakeDirs(dir.Path("folder.cxi"));
  Env* env = RealEnv();
  std::vector<DirEntry> entries;
  ASSERT_TRUE(env->ListFolder(dir.path(), "*.cxi", &entries).ok());
#ifndef _WIN32
  // Upper-case folding puts '_' after the letters; ties go by raw bytes.
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"a.cxi", "B.cxi", "b.CXI", "folder.cxi/",
                                                      "Z.cxi", "_u.cxi"}));
#else
  // Upper-case folding puts '_' after the letters.
  EXPECT_EQ(Names(entries),
            (std::vector<std::string>{"a.cxi", "b.CXI", "folder.cxi/", "Z.cxi", "_u.cxi"}));
#endif
  ASSERT_TRUE(env->ListFolder(dir.path(), "*.*", &entries).ok());
  EXPECT_EQ(entries.size(), names.size() + 1);  // names without a dot too; never "." or ".."
  EXPECT_FALSE(env->ListFolder(dir.Path("missing"), "*.*", &entries).ok());
}

// /dev/shm is another file system than the temporary folder on the machines we test on.
TEST(EnvTest, MoveToAnotherFileSystemCopiesKeepsTheTimeAndRemoves) {
  std::error_code ec;
  if (!std::filesystem::is_directory("/dev/shm", ec)) GTEST_SKIP() << "no /dev/shm";
  TempDir dir;
  std::string other = "/dev/shm/cartidex-test-" + std::to_string(std::random_device()());
  test::MakeDirs(other);
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
  EXPECT_EQ(test::ListTree(other), std::vector<std::string>{"taken.bin"});  // no leftover copy

  ASSERT_TRUE(env->MoveFile(dir.Path("big.bin"), other + "/big.bin").ok());
  EXPECT_FALSE(Exists(dir.Path("big.bin")));
  EXPECT_EQ(ReadFile(other + "/big.bin"), payload);
  EXPECT_EQ(std::filesystem::last_write_time(other + "/big.bin"), before);
  EXPECT_EQ(test::ListTree(other), (std::vector<std::string>{"big.bin", "taken.bin"}));
  std::filesystem::remove_all(other, ec);
}

TEST(EnvTest, DosTimesAreLocalTimeAndInvalidStampsAreRefused) {
#ifdef _WIN32
  GTEST_SKIP() << "the time zone is fixed by the POSIX run";
#else
  TempDir dir;
  WriteFile(dir.Path("f"), "x");
  const char* old_tz = std::getenv("TZ");
  std::string saved = old_tz ? old_tz : "";
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  Env* env = RealEnv();
  // 2001-02-03 04:05:06
  uint32_t dos = (21u << 25) | (2u << 21) | (3u << 16) | (4u << 11) | (5u << 5) | 3u;
  ASSERT_TRUE(env->SetFileTimesFromDos(dir.Path("f"), dos).ok());
  auto t = std::filesystem::last_write_time(dir.Path("f"));
  auto secs = std::chrono::duration_cast<std::chrono::seconds>(
                  std::chrono::file_clock::to_sys(t).time_since_epoch())
                  .count();
  EXPECT_EQ(secs, 981173106);
  EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("f"), dos & ~(0xFu << 21)).ok());   // month 0
  EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("f"), dos & ~(0x1Fu << 16)).ok());  // day 0
  EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("f"), (dos & ~0x1Fu) | 30u).ok());  // 60 s
  if (old_tz) {
    ::setenv("TZ", saved.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
#endif
}

TEST(EnvTest, PathsBeyondTheLimitAreRefusedNotCut) {
  TempDir dir;
  Env* env = RealEnv();
  std::string long_name(kMaxComponent + 1, 'n');
  std::unique_ptr<WritableFile> file;
  Status s = env->OpenForWrite(dir.Path(long_name), WriteMode::kNew, &file);
  EXPECT_EQ(s.code(), Status::Code::kTooLong);
  EXPECT_TRUE(test::ListTree(dir.path()).empty());
}

}  // namespace
}  // namespace cartidex
