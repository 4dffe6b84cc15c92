// The Env over the real OS (POSIX here, Win32 in the Windows build) where the end-to-end runs do
// not pin it: links in a listing and the times of files.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

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

TEST(RealEnvTest, ListingFiltersSortsAndTellsFolders) {
  TempDir dir;
  for (const char* name : {"beta.zip", "Alpha.ZIP", "gamma.zipx", "delta.bin"}) {
    WriteFile(dir.Path(name), name);
  }
  MakeDirs(dir.Path("Sub.zip"));
#ifndef _WIN32
  fs::create_directory_symlink(dir.Path("Sub.zip"), dir.Path("link.zip"));
  const std::vector<std::string> want = {"Alpha.ZIP", "beta.zip", "link.zip/@", "Sub.zip/"};
#else
  const std::vector<std::string> want = {"Alpha.ZIP", "beta.zip", "Sub.zip/"};
#endif
  std::vector<DirEntry> entries;
  ASSERT_TRUE(RealEnv()->ListFolder(dir.path(), "*.zip", &entries).ok());
  std::vector<std::string> listed;
  for (const DirEntry& e : entries) {
    listed.push_back(e.name + (e.is_folder ? "/" : "") + (e.is_link ? "@" : ""));
  }
  EXPECT_EQ(listed, want);
  ASSERT_TRUE(RealEnv()->ListFolder(dir.path(), "*.*", &entries).ok());
  EXPECT_EQ(entries.size(), want.size() + 2);  // never "." nor ".."
  EXPECT_FALSE(RealEnv()->ListFolder(dir.Path("none"), "*.*", &entries).ok());
  EXPECT_FALSE(RealEnv()->ListFolder(dir.Path("delta.bin"), "*.*", &entries).ok());
}

TEST(RealEnvTest, DosTimesExecutableAndCurrentDirectory) {
  TempDir dir;
  Env* env = RealEnv();
  WriteFile(dir.Path("t.bin"), "x");  // tells the current directory below
  EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("t.bin"), Dos(2001, 13, 1, 0, 0, 0)).ok());
  EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("none.bin"), Dos(2001, 1, 1, 0, 0, 0)).ok());
#ifndef _WIN32
  for (const uint32_t invalid :
       {Dos(2001, 0, 1, 0, 0, 0), Dos(2001, 1, 0, 0, 0, 0), Dos(2001, 1, 1, 0, 0, 60)}) {
    EXPECT_FALSE(env->SetFileTimesFromDos(dir.Path("t.bin"), invalid).ok()) << invalid;
  }
  ScopedTimeZone utc("UTC");  // only here can the zone be fixed
  ASSERT_TRUE(env->SetFileTimesFromDos(dir.Path("t.bin"), Dos(2001, 2, 3, 4, 5, 6)).ok());
  const auto written = std::chrono::file_clock::to_sys(fs::last_write_time(dir.Path("t.bin")));
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(written.time_since_epoch()).count(),
            981173106);
#endif
  // The executable exists; the current directory changes and comes back.
  EXPECT_EQ(env->GetKind(env->ExecutablePath()), FileKind::kFile);
  const std::string before = env->GetCurrentDirectory();
  ASSERT_TRUE(env->SetCurrentDirectory(dir.path()).ok());
  EXPECT_EQ(env->GetKind("t.bin"), FileKind::kFile);
  EXPECT_TRUE(env->SetCurrentDirectory(before).ok());
  EXPECT_FALSE(env->SetCurrentDirectory(dir.Path("none")).ok());
}

}  // namespace
}  // namespace cartidex::test
