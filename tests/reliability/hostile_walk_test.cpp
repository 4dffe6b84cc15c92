// Walks over folders that change under them or hold what is no file: a file deleted after the
// listing, a named pipe (which must not hang the walk), a link loop and a dangling link.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <functional>
#include <string>
#include <vector>

#include "actions/process_folder.h"
#include "app/headless_view.h"
#include "platform/dialog_view.h"
#include "support/fault_scenario.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

// Runs `between` after each file the walk handles.
class MeddlingView : public HeadlessView {
 public:
  bool KeepAlive() override {
    if (between) between(++handled);
    return true;
  }
  std::function<void(int)> between;
  int handled = 0;
};

TEST(HostileWalkTest, FilesThatVanishOrAreNoFilesFailAndAreLogged) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs and symbolic links are POSIX cases";
#else
  TestHome home;
  TempDir dir;
  WriteFile(dir.Path("in/a.bin"), "first");
  WriteFile(dir.Path("in/b.bin"), "vanishes after the listing");
  WriteFile(dir.Path("in/c.bin"), "last");
  ASSERT_EQ(::mkfifo(dir.Path("in/pipe").c_str(), 0666), 0);
  ASSERT_EQ(::symlink(dir.Path("nowhere").c_str(), dir.Path("in/dangling").c_str()), 0);
  ASSERT_EQ(::symlink(dir.Path("in").c_str(), dir.Path("in/loop").c_str()), 0);
  MeddlingView view;
  view.between = [&](int handled) {
    if (handled == 1) ::unlink(dir.Path("in/b.bin").c_str());
  };
  view.SetChecked(kIdSubdirs, true);
  view.SetChecked(kIdMoveUnknown, true);
  view.SetText(kIdMoveUnknownField, dir.Path("out"));

  ProcessFolder(&view, dir.Path("in"));

  const std::string in = dir.Path("in/"), out = dir.Path("out/");
  const std::string log = home.Log();
  // Every line is the truth: what cannot be read is named and counts as unknown, so it is moved
  // aside as it is (the pipe stays a pipe, the link a link); the file that is gone cannot be.
  std::string bad;
  const Tree before = {{in + "a.bin", "first"},
                       {in + "c.bin", "last"},
                       {in + "dangling", "a link"},
                       {in + "pipe", "a pipe"}};
  const Tree promised = ReplaySuccessLines(log, before, &bad);
  EXPECT_EQ(bad, "");
  EXPECT_EQ(promised, (Tree{{out + "a.bin", "first"},
                            {out + "c.bin", "last"},
                            {out + "dangling", "a link"},
                            {out + "pipe", "a pipe"}}));
  EXPECT_EQ(ReadFile(out + "a.bin"), "first");
  struct stat st;
  ASSERT_EQ(::lstat((out + "pipe").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(::lstat((out + "dangling").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(
      FailureLines(log),
      (Lines{"Cannot read: " + in + "b.bin", " Move failed: " + in + "b.bin To: " + out + "b.bin",
             "Cannot read: " + in + "dangling", "Cannot read: " + in + "pipe"}))
      << log;
  EXPECT_EQ(view.GetText(kIdNameField), "Several");
#endif
}

}  // namespace
}  // namespace cartidex::test
