// The folder walk over real folders. The files here match no datafile, so they are the
// "unknown" ones whatever identification makes of them; the log is read for its action lines.
#include "actions/process_folder.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <string>

#include "actions/walk_test_util.h"
#include "platform/activity_log.h"
#include "platform/path.h"
#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

class ProcessFolderTest : public ::testing::Test {
 protected:
  void ExpectSeveral() {
    for (int id : {kIdFilenameField, kIdNameField, kIdCrcField, kIdSizeField}) {
      EXPECT_EQ(view_.GetText(id), "Several") << id;
    }
    EXPECT_NE(view_.GetText(kIdSystemField), "Several");
  }
  std::string Moved(const std::string& from, const std::string& to) {
    return " Moved: " + dir_.Path(from) + " To: " + dir_.Path(to);
  }

  TestHome home_;
  TempDir dir_;
  CountingView view_;
};

TEST_F(ProcessFolderTest, WithSubfoldersDepthFirstInListingOrder) {
  WriteFile(dir_.Path("in/a.bin"), "a");
  WriteFile(dir_.Path("in/m/c.bin"), "c");
  WriteFile(dir_.Path("in/m/n/d.bin"), "d");
  WriteFile(dir_.Path("in/z.bin"), "z");
  WriteFile(dir_.Path("in/.git/e.bin"), "e");
  view_.SetChecked(kIdSubdirs, true);
  view_.SetChecked(kIdMoveUnknown, true);
  view_.SetText(kIdMoveUnknownField, dir_.Path("out/<c1>"));

  ProcessFolder(&view_, dir_.Path("in") + kSeparator);  // a trailing separator is not doubled

  EXPECT_EQ(ActionLines(home_.Log()),
            (Lines{Moved("in/a.bin", "out/A/a.bin"), Moved("in/m/c.bin", "out/C/c.bin"),
                   Moved("in/m/n/d.bin", "out/D/d.bin"), Moved("in/z.bin", "out/Z/z.bin")}));
  EXPECT_EQ(view_.info_lines.back(), "4 files handled");
  EXPECT_EQ(ListTree(dir_.Path("in")), (Lines{".git/e.bin"}));
  ExpectSeveral();
}

TEST_F(ProcessFolderTest, TargetsInsideTheWalkedFolderAreNotHandledTwice) {
  WriteFile(dir_.Path("in/a.bin"), "a");
  WriteFile(dir_.Path("in/sorted/Unknown/b.bin"), "b");  // sorted by an earlier run
  WriteFile(dir_.Path("in/z.bin"), "z");
  view_.SetChecked(kIdSubdirs, true);
  view_.SetChecked(kIdMoveUnknown, true);
  view_.SetText(kIdMoveUnknownField, dir_.Path("in/sorted/<system>"));

  ProcessFolder(&view_, dir_.Path("in"));

  EXPECT_EQ(ActionLines(home_.Log()),
            (Lines{Moved("in/a.bin", "in/sorted/Unknown/a.bin"),
                   Moved("in/sorted/Unknown/b.bin", "in/sorted/Unknown/b.bin"),
                   Moved("in/z.bin", "in/sorted/Unknown/z.bin")}));
  EXPECT_EQ(ListTree(dir_.Path("in")),
            (Lines{"sorted/Unknown/a.bin", "sorted/Unknown/b.bin", "sorted/Unknown/z.bin"}));
  EXPECT_EQ(view_.calls, 3);
}

#ifndef _WIN32
// Symbolic links, and loops made of them, are a POSIX matter here.
TEST_F(ProcessFolderTest, LinksAreFollowedButLoopsEnd) {
  WriteFile(dir_.Path("in/a.bin"), "a");
  WriteFile(dir_.Path("elsewhere/f.bin"), "f");
  MakeDirs(dir_.Path("in/sub"));
  ASSERT_EQ(::symlink(dir_.Path("in").c_str(), dir_.Path("in/sub/loop").c_str()), 0);
  ASSERT_EQ(::symlink(dir_.Path("in/sub").c_str(), dir_.Path("in/sub2").c_str()), 0);
  ASSERT_EQ(::symlink(dir_.Path("elsewhere").c_str(), dir_.Path("in/far").c_str()), 0);
  ASSERT_EQ(::symlink(dir_.Path("elsewhere/f.bin").c_str(), dir_.Path("in/link.bin").c_str()), 0);
  view_.SetChecked(kIdSubdirs, true);

  ProcessFolder(&view_, dir_.Path("in"));

  // a.bin once, and f.bin once although it is reached by a folder link and a file link.
  EXPECT_EQ(view_.info_lines, (Lines{"1 files handled", "2 files handled"}));
  ExpectSeveral();
}
#endif

TEST_F(ProcessFolderTest, TheProgramsOwnFilesAreNeverTouched) {
  WriteLog("before the walk\r\n");
  home_.AddDatafile("mine.cxi", "#console#;S\r\n");
  WriteFile(home_.Path("tmp/member.bin"), "m");
  WriteFile(home_.Path("stray.bin"), "s");
  view_.SetChecked(kIdSubdirs, true);
  view_.SetChecked(kIdMoveUnknown, true);
  view_.SetText(kIdMoveUnknownField, dir_.Path("out"));

  ProcessFolder(&view_, home_.path());
  ProcessFolder(&view_, home_.Path("datfiles"));

  EXPECT_EQ(ListTree(home_.path()), (Lines{"datfiles/mine.cxi", "log.txt", "tmp/member.bin"}));
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"out/stray.bin"}));
  ExpectSeveral();
}

TEST_F(ProcessFolderTest, AFolderThatCannotBeListedIsLoggedAndTheWalkGoesOn) {
  WriteFile(dir_.Path("in/locked/x.bin"), "x");
  WriteFile(dir_.Path("in/z.bin"), "z");
  FaultEnv faults;
  ScopedEnv scoped(&faults);
  faults.FailPathsContaining(EnvOp::kListFolder, "locked");
  // A folder whose identity cannot be read could be a link back up: it is not entered either.
  WriteFile(dir_.Path("in/unknowable/y.bin"), "y");
  faults.FailPathsContaining(EnvOp::kGetFileId, "unknowable");
  view_.SetChecked(kIdSubdirs, true);
  view_.SetChecked(kIdMoveUnknown, true);
  view_.SetText(kIdMoveUnknownField, dir_.Path("out"));

  ProcessFolder(&view_, dir_.Path("in"));
  ProcessFolder(&view_, dir_.Path("missing"));

  EXPECT_EQ(ActionLines(home_.Log()),
            (Lines{"Cannot list: " + dir_.Path("in/locked/"),
                   "Cannot list: " + dir_.Path("in/unknowable/"), Moved("in/z.bin", "out/z.bin"),
                   "Cannot list: " + dir_.Path("missing/")}));
  ExpectSeveral();
}

TEST_F(ProcessFolderTest, EmptyFolderStillShowsSeveral) {
  MakeDirs(dir_.Path("empty"));
  ProcessFolder(&view_, dir_.Path("empty"));
  ExpectSeveral();
  EXPECT_EQ(view_.calls, 0);
  EXPECT_EQ(home_.Log(), "");
}

TEST_F(ProcessFolderTest, KeepAliveSayingNoStopsTheWalkAfterTheCurrentFile) {
  for (const char* f : {"in/a.bin", "in/b/c.bin", "in/b/d.bin", "in/e.bin"}) {
    WriteFile(dir_.Path(f), f);
  }
  view_.stop_at = 2;
  view_.SetChecked(kIdSubdirs, true);
  view_.SetChecked(kIdMoveUnknown, true);
  view_.SetText(kIdMoveUnknownField, dir_.Path("out"));

  ProcessFolder(&view_, dir_.Path("in"));

  EXPECT_EQ(view_.calls, 2);
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"in/b/d.bin", "in/e.bin", "out/a.bin", "out/c.bin"}));
  ExpectSeveral();
}

}  // namespace
}  // namespace cartidex::test
