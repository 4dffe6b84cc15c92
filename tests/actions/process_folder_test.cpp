// The folder walk over real folders. The files here match no datafile, so they are the "unknown"
// ones; the log is read for its lines other than identification.
#include "actions/process_folder.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <sstream>
#include <string>
#include <vector>

#include "app/headless_view.h"
#include "platform/activity_log.h"
#include "platform/path.h"
#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

// Records the information line at each KeepAlive call and answers false from call `stop_at` on
// (0: never).
class CountingView : public HeadlessView {
 public:
  bool KeepAlive() override {
    info_lines.push_back(GetText(kIdInfoLine));
    return stop_at == 0 || info_lines.size() < stop_at;
  }
  size_t stop_at = 0;
  Lines info_lines;
};

class ProcessFolderTest : public ::testing::Test {
 protected:
  // Walks `folder` with subfolders, moving unknown files to `target` (none when empty).
  void Walk(const std::string& folder, const std::string& target = "") {
    view_.SetChecked(kIdSubdirs, true);
    view_.SetChecked(kIdMoveUnknown, !target.empty());
    view_.SetText(kIdMoveUnknownField, target.empty() ? target : dir_.Path(target));
    ProcessFolder(&view_, folder);
    for (int id : {kIdFilenameField, kIdNameField, kIdCrcField, kIdSizeField}) {
      EXPECT_EQ(view_.GetText(id), "Several") << id;
    }
  }
  // The log's lines but the identification lines, without their "\r\n".
  Lines Actions() {
    Lines lines;
    std::istringstream log(home_.Log());
    for (std::string line; std::getline(log, line);) {
      if (!line.starts_with("Opened: ")) lines.push_back(line.substr(0, line.size() - 1));
    }
    return lines;
  }
  std::string Moved(const std::string& from, const std::string& to) {
    return " Moved: " + dir_.Path(from) + " To: " + dir_.Path(to);
  }

  TestHome home_;
  TempDir dir_;
  CountingView view_;
};

TEST_F(ProcessFolderTest, DepthFirstInListingOrderSkippingDotNames) {
  for (const char* f : {"in/a.bin", "in/m/c.bin", "in/m/n/d.bin", "in/z.bin", "in/.git/e.bin"}) {
    WriteFile(dir_.Path(f), f);
  }
  Walk(dir_.Path("in") + kSeparator, "out/<c1>");  // a trailing separator is not doubled

  EXPECT_EQ(Actions(),
            (Lines{Moved("in/a.bin", "out/A/a.bin"), Moved("in/m/c.bin", "out/C/c.bin"),
                   Moved("in/m/n/d.bin", "out/D/d.bin"), Moved("in/z.bin", "out/Z/z.bin")}));
  EXPECT_EQ(view_.info_lines.back(), "4 files handled");
  EXPECT_EQ(ListTree(dir_.Path("in")), Lines{".git/e.bin"});
  EXPECT_EQ(view_.GetText(kIdSystemField), "Unknown");
}

TEST_F(ProcessFolderTest, TargetsInsideTheWalkedFolderAreNotHandledTwice) {
  WriteFile(dir_.Path("in/a.bin"), "a");
  WriteFile(dir_.Path("in/sorted/Unknown/b.bin"), "b");  // sorted by an earlier run
  WriteFile(dir_.Path("in/z.bin"), "z");
  Walk(dir_.Path("in"), "in/sorted/<system>");

  EXPECT_EQ(Actions(), (Lines{Moved("in/a.bin", "in/sorted/Unknown/a.bin"),
                              Moved("in/sorted/Unknown/b.bin", "in/sorted/Unknown/b.bin"),
                              Moved("in/z.bin", "in/sorted/Unknown/z.bin")}));
  EXPECT_EQ(view_.info_lines.size(), 3u);
}

#ifndef _WIN32
TEST_F(ProcessFolderTest, LinksAreFollowedButLoopsEnd) {
  WriteFile(dir_.Path("in/a.bin"), "a");
  WriteFile(dir_.Path("elsewhere/f.bin"), "f");
  MakeDirs(dir_.Path("in/sub"));
  for (auto [to, link] : {std::pair{"in", "in/sub/loop"},
                          {"in/sub", "in/sub2"},
                          {"elsewhere", "in/far"},
                          {"elsewhere/f.bin", "in/link.bin"}}) {
    ASSERT_EQ(::symlink(dir_.Path(to).c_str(), dir_.Path(link).c_str()), 0);
  }
  Walk(dir_.Path("in"));
  // a.bin once, and f.bin once although a folder link and a file link reach it.
  EXPECT_EQ(view_.info_lines, (Lines{"1 files handled", "2 files handled"}));
}
#endif

TEST_F(ProcessFolderTest, TheProgramsOwnFilesAreNeverTouched) {
  WriteLog("before the walk\r\n");
  home_.AddDatafile("mine.cxi", "#console#;S\r\n");
  WriteFile(home_.Path("tmp/member.bin"), "m");
  WriteFile(home_.Path("stray.bin"), "s");
  Walk(home_.path(), "out");
  Walk(home_.Path("datfiles"), "out");
  EXPECT_EQ(ListTree(home_.path()), (Lines{"datfiles/mine.cxi", "log.txt", "tmp/member.bin"}));
  EXPECT_EQ(ListTree(dir_.path()), Lines{"out/stray.bin"});
}

TEST_F(ProcessFolderTest, AFolderThatCannotBeListedIsLoggedAndTheWalkGoesOn) {
  WriteFile(dir_.Path("in/locked/x.bin"), "x");
  WriteFile(dir_.Path("in/unknowable/y.bin"), "y");
  WriteFile(dir_.Path("in/z.bin"), "z");
  FaultEnv faults;
  ScopedEnv scoped(&faults);
  faults.FailPathsContaining(EnvOp::kListFolder, "locked");
  // A folder whose identity cannot be read could be a link back up: it is not entered either.
  faults.FailPathsContaining(EnvOp::kGetFileId, "unknowable");
  Walk(dir_.Path("in"), "out");
  Walk(dir_.Path("missing"), "out");
  EXPECT_EQ(Actions(),
            (Lines{"Cannot list: " + dir_.Path("in/locked/"),
                   "Cannot list: " + dir_.Path("in/unknowable/"), Moved("in/z.bin", "out/z.bin"),
                   "Cannot list: " + dir_.Path("missing/")}));
}

TEST_F(ProcessFolderTest, KeepAliveSayingNoStopsTheWalkAfterTheCurrentFile) {
  for (const char* f : {"in/a.bin", "in/b/c.bin", "in/b/d.bin", "in/e.bin"}) {
    WriteFile(dir_.Path(f), f);
  }
  view_.stop_at = 2;
  Walk(dir_.Path("in"), "out");
  EXPECT_EQ(view_.info_lines.size(), 2u);
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"in/b/d.bin", "in/e.bin", "out/a.bin", "out/c.bin"}));
}

}  // namespace
}  // namespace cartidex::test
