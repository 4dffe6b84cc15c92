// The contract of the Env over the real OS (POSIX here, Win32 in the Windows build): the same
// outcomes on every platform.
#include <gtest/gtest.h>

#include <chrono>
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

namespace fs = std::filesystem;

uint32_t Dos(int year, int month, int day, int hour, int minute, int second) {
  return static_cast<uint32_t>(((year - 1980) << 25) | (month << 21) | (day << 16) | (hour << 11) |
                               (minute << 5) | (second / 2));
}

TEST(RealEnvTest, FilesAndFolders) {
  TempDir dir;
  Env* env = RealEnv();
  const std::string path = dir.Path("file.bin");
  ASSERT_TRUE(WriteWholeFile(env, path, "first contents").ok());
  ASSERT_TRUE(WriteWholeFile(env, path, "second").ok());
  std::unique_ptr<WritableFile> file;
  EXPECT_EQ(env->OpenForWrite(path, WriteMode::kNew, &file).code(), Status::Code::kExists);
  ASSERT_TRUE(env->OpenForWrite(path, WriteMode::kAppend, &file).ok());
  ASSERT_TRUE(file->Append(" and more").ok());
  // Read while the appending handle is open, as others read the activity log.
  std::string contents;
  ASSERT_TRUE(ReadWholeFile(env, path, &contents).ok());
  EXPECT_EQ(contents, "second and more");
  ASSERT_TRUE(file->Close().ok());
  EXPECT_FALSE(file->Append("late").ok());

  std::unique_ptr<ReadableFile> reader;
  ASSERT_TRUE(env->OpenForRead(path, &reader).ok());
  EXPECT_EQ(reader->Size(), 15u);
  EXPECT_EQ(env->OpenForRead(dir.Path("none.bin"), &reader).code(), Status::Code::kNotFound);
  EXPECT_FALSE(env->OpenForRead(dir.path(), &reader).ok());
  reader.reset();  // Windows deletes no file that is open

  EXPECT_TRUE(env->CreateFolder(dir.Path("a")).ok());
  EXPECT_EQ(env->CreateFolder(dir.Path("a")).code(), Status::Code::kExists);
  EXPECT_EQ(env->CreateFolder(dir.Path("none/b")).code(), Status::Code::kNotFound);
  EXPECT_EQ(env->GetKind(dir.Path("a")), FileKind::kFolder);
  EXPECT_EQ(env->GetKind(path), FileKind::kFile);
  EXPECT_EQ(env->GetKind(""), FileKind::kMissing);
  EXPECT_FALSE(env->DeleteFile(dir.Path("a")).ok());
  EXPECT_TRUE(env->DeleteFile(path).ok());
  EXPECT_EQ(env->DeleteFile(path).code(), Status::Code::kNotFound);
  // A name past the limits is refused, never cut.
  const std::string long_name(kMaxComponent + 1, 'n');
  EXPECT_EQ(env->OpenForWrite(dir.Path(long_name), WriteMode::kNew, &file).code(),
            Status::Code::kTooLong);
  EXPECT_TRUE(ListTree(dir.path()).empty());
}

TEST(RealEnvTest, ListingFiltersOnTheWholeNameAndSortsFoldedToUpperCase) {
  TempDir dir;
  std::vector<std::string> names = {"beta.zip",  "Alpha.ZIP", "gamma.zipx", "x.zip.bak",
                                    "delta.bin", "zip",       "_u.zip",     "Z.zip"};
#ifndef _WIN32
  names.push_back("Beta.zip");  // where letter case folds, the same file as beta.zip
#endif
  for (const std::string& name : names) WriteFile(dir.Path(name), name);
  MakeDirs(dir.Path("Sub.zip"));
  // Upper-case folding puts '_' after the letters; ties go by the raw bytes; "." and ".." never.
  const std::pair<const char*, std::vector<std::string>> kListings[] = {
      {"*.zip", {"Alpha.ZIP", "Beta.zip", "beta.zip", "Sub.zip/", "Z.zip", "_u.zip"}},
      {"*.*",
       {"Alpha.ZIP", "Beta.zip", "beta.zip", "delta.bin", "gamma.zipx", "Sub.zip/", "x.zip.bak",
        "Z.zip", "zip", "_u.zip"}},
  };
  for (auto [pattern, want] : kListings) {
#ifdef _WIN32
    std::erase(want, "Beta.zip");
#endif
    std::vector<DirEntry> entries;
    ASSERT_TRUE(RealEnv()->ListFolder(dir.path(), pattern, &entries).ok());
    std::vector<std::string> listed;
    for (const DirEntry& e : entries) listed.push_back(e.name + (e.is_folder ? "/" : ""));
    EXPECT_EQ(listed, want) << pattern;
  }
  std::vector<DirEntry> entries;
  EXPECT_FALSE(RealEnv()->ListFolder(dir.Path("none"), "*.*", &entries).ok());
  EXPECT_FALSE(RealEnv()->ListFolder(dir.Path("delta.bin"), "*.*", &entries).ok());
}

// /dev/shm is another file system than the temporary folder on the machines tested on.
TEST(RealEnvTest, MoveToAnotherFileSystemCopiesKeepsTheTimeAndRemoves) {
  std::error_code ec;
  if (!fs::is_directory("/dev/shm", ec)) GTEST_SKIP() << "no /dev/shm";
  TempDir dir;
  const std::string other = "/dev/shm/cartidex-test-" + std::to_string(std::random_device()());
  MakeDirs(other);
  const std::string payload(300000, 'p');
  WriteFile(dir.Path("big.bin"), payload);
  Env* env = RealEnv();
  ASSERT_TRUE(env->SetFileTimesFromDos(dir.Path("big.bin"), Dos(2000, 3, 4, 5, 6, 14)).ok());
  const auto before = fs::last_write_time(dir.Path("big.bin"));
  WriteFile(other + "/taken.bin", "T");
  EXPECT_EQ(env->MoveFile(dir.Path("big.bin"), other + "/taken.bin").code(), Status::Code::kExists);
  EXPECT_EQ(ListTree(other), std::vector<std::string>{"taken.bin"});  // no copy left over

  ASSERT_TRUE(env->MoveFile(dir.Path("big.bin"), other + "/big.bin").ok());
  EXPECT_FALSE(Exists(dir.Path("big.bin")));
  EXPECT_EQ(ReadFile(other + "/big.bin"), payload);
  EXPECT_EQ(fs::last_write_time(other + "/big.bin"), before);
  EXPECT_EQ(ListTree(other), (std::vector<std::string>{"big.bin", "taken.bin"}));
  fs::remove_all(other, ec);
}

TEST(RealEnvTest, DosTimesAreLocalTimesAndInvalidOnesAreRefused) {
  TempDir dir;
  Env* env = RealEnv();
  WriteFile(dir.Path("t.bin"), "x");
  EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("t.bin"), Dos(2001, 13, 1, 0, 0, 0)).ok());
  EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("none.bin"), Dos(2001, 1, 1, 0, 0, 0)).ok());
#ifndef _WIN32
  for (const uint32_t invalid :
       {Dos(2001, 0, 1, 0, 0, 0), Dos(2001, 1, 0, 0, 0, 0), Dos(2001, 1, 1, 0, 0, 60)}) {
    EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("t.bin"), invalid).ok()) << invalid;
  }
  // Only here can the zone be fixed.
  ScopedTimeZone utc("UTC");
  ASSERT_TRUE(env->SetFileTimesFromDos(dir.Path("t.bin"), Dos(2001, 2, 3, 4, 5, 6)).ok());
  const auto written = std::chrono::file_clock::to_sys(fs::last_write_time(dir.Path("t.bin")));
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(written.time_since_epoch()).count(),
            981173106);
#endif
}

TEST(RealEnvTest, ExecutableAndCurrentDirectory) {
  TempDir dir;
  Env* env = RealEnv();
  EXPECT_EQ(env->GetKind(env->ExecutablePath()), FileKind::kFile);
  const std::string before = env->GetCurrentDirectory();
  ASSERT_TRUE(env->SetCurrentDirectory(dir.path()).ok());
  WriteFile(dir.Path("here.txt"), "x");
  EXPECT_EQ(env->GetKind("here.txt"), FileKind::kFile);
  EXPECT_TRUE(env->SetCurrentDirectory(before).ok());
  EXPECT_FALSE(env->SetCurrentDirectory(dir.Path("none")).ok());
}

}  // namespace
}  // namespace cartidex::test
