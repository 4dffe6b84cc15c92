// The folder walk over real folders. The files here match no datafile, so they are the "unknown"
// ones; the log is read for its lines other than identification.
#include "actions/process_folder.h"

#include <gtest/gtest.h>

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
  // Writes the files, walks `folder` (dir_/in when empty) with subfolders, moving unknown files to
  // `target` (none when empty), and gives the log's lines but the identification lines, without
  // their "\r\n".
  Lines Walk(const Lines& files, const std::string& target, std::string folder = "") {
    for (const std::string& f : files) WriteFile(dir_.Path(f), f);
    view_.SetChecked(kIdSubdirs, true);
    view_.SetChecked(kIdMoveUnknown, !target.empty());
    view_.SetText(kIdMoveUnknownField, target.empty() ? target : dir_.Path(target));
    ProcessFolder(&view_, folder.empty() ? dir_.Path("in") : folder);
    for (int id : {kIdFilenameField, kIdNameField, kIdCrcField, kIdSizeField}) {
      EXPECT_EQ(view_.GetText(id), "Several") << id;
    }
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

// b.bin was sorted by an earlier run; the files moved into the walked folder are not handled
// twice; a trailing separator is not doubled.
TEST_F(ProcessFolderTest, DepthFirstInListingOrderSkippingDotNamesAndFilesHandled) {
  EXPECT_EQ(
      Walk(
          {"in/a.bin", "in/m/c.bin", "in/m/n/d.bin", "in/out/B/b.bin", "in/z.bin", "in/.git/e.bin"},
          "in/out/<c1>", dir_.Path("in") + kSeparator),
      (Lines{Moved("in/a.bin", "in/out/A/a.bin"), Moved("in/m/c.bin", "in/out/C/c.bin"),
             Moved("in/m/n/d.bin", "in/out/D/d.bin"), Moved("in/out/B/b.bin", "in/out/B/b.bin"),
             Moved("in/z.bin", "in/out/Z/z.bin")}));
  EXPECT_EQ(view_.info_lines, (Lines{"1 files handled", "2 files handled", "3 files handled",
                                     "4 files handled", "5 files handled"}));
  EXPECT_EQ(ListTree(dir_.Path("in")).front(), ".git/e.bin");
  EXPECT_EQ(view_.GetText(kIdSystemField), "Unknown");
}

TEST_F(ProcessFolderTest, TheProgramsOwnFilesAreNeverTouched) {
  WriteLog("before the walk\r\n");
  home_.AddDatafile("mine.cxi", "#console#;S\r\n");
  WriteFile(home_.Path("tmp/member.bin"), "m");
  WriteFile(home_.Path("stray.bin"), "s");
  Walk({}, "out", home_.path());
  Walk({}, "out", home_.Path("datfiles"));
  EXPECT_EQ(ListTree(home_.path()), (Lines{"datfiles/mine.cxi", "log.txt", "tmp/member.bin"}));
  EXPECT_EQ(ListTree(dir_.path()), Lines{"out/stray.bin"});
}

TEST_F(ProcessFolderTest, FoldersThatCannotBeListedAreLoggedAndTheWalkGoesOn) {
  FaultEnv faults;
  ScopedEnv scoped(&faults);
  faults.FailPathsContaining(EnvOp::kListFolder, "locked");
  // A folder whose identity cannot be read could be a link back up: it is not entered either.
  faults.FailPathsContaining(EnvOp::kGetFileId, "unknowable");
  Walk({"in/locked/x.bin", "in/unknowable/y.bin", "in/z.bin"}, "out");
  EXPECT_EQ(Walk({}, "out", dir_.Path("missing")),
            (Lines{"Cannot list: " + dir_.Path("in/locked/"),
                   "Cannot list: " + dir_.Path("in/unknowable/"), Moved("in/z.bin", "out/z.bin"),
                   "Cannot list: " + dir_.Path("missing/")}));
}

TEST_F(ProcessFolderTest, KeepAliveSayingNoStopsTheWalkAfterTheCurrentFile) {
  view_.stop_at = 2;
  Walk({"in/a.bin", "in/b/c.bin", "in/b/d.bin", "in/e.bin"}, "out");
  EXPECT_EQ(view_.info_lines.size(), 2u);
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"in/b/d.bin", "in/e.bin", "out/a.bin", "out/c.bin"}));
}

}  // namespace
}  // namespace cartidex::test
