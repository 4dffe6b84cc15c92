// Rename and move of the session's current file onto itself, to names valid or not, and where
// letter case folds. Failures and taken targets are pinned by the fault runs and end to end.
#include "actions/rename_move.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/headless_view.h"
#include "identify/session_state.h"
#include "platform/path.h"
#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

using Lines = std::vector<std::string>;

// A file system that folds letter case, as on Windows: a path names the entry of its folder that
// equals it ignoring case (as the listing's pattern matches).
class CaseFoldingEnv : public FaultEnv {
 public:
  std::string Resolve(const std::string& path) {
    const std::string folder(FolderOf(path));
    std::vector<DirEntry> found;
    return RealEnv()->ListFolder(folder, BaseName(path), &found).ok() && found.size() == 1
               ? folder + found[0].name
               : path;
  }
  Status GetFileId(const std::string& path, FileId* id) override {
    return FaultEnv::GetFileId(Resolve(path), id);
  }
  Status MoveFile(const std::string& from, const std::string& to) override {
    if (RealEnv()->GetKind(Resolve(to)) != FileKind::kMissing) return Status::IoError("exists");
    return FaultEnv::MoveFile(Resolve(from), to);
  }
};

class RenameMoveTest : public ::testing::Test {
 protected:
  // Makes dir_/`file` the current file, named `name` in the database; renames it.
  bool Rename(const std::string& file, std::string_view name, bool archive = false) {
    Session().current_path = dir_.Path(file);
    Session().archive_mode = archive;
    view_.SetText(kIdNameField, name);
    return RenameCurrent(&view_);
  }
  std::string Line(const char* head, const std::string& from, const std::string& to) {
    return head + dir_.Path(from) + " To: " + dir_.Path(to) + "\r\n";
  }

  TestHome home_;
  TempDir dir_;
  HeadlessView view_;
};

TEST_F(RenameMoveTest, OntoTheFileItselfSucceedsWithoutChange) {
  WriteFile(dir_.Path("in/Game.rom"), "g");
  EXPECT_TRUE(Rename("in/Game.rom", "Game.rom"));
  view_.SetText(kIdMoveKnownField, dir_.Path("in/."));
  EXPECT_TRUE(MoveCurrent(&view_, kIdMoveKnownField, RomRecord()));
  // A second name of the same file (a hard link; its name of another length) is the file itself.
  std::filesystem::create_hard_link(dir_.Path("in/Game.rom"), dir_.Path("in/Linked.rom"));
  EXPECT_TRUE(Rename("in/Game.rom", "Linked.rom"));
  EXPECT_EQ(home_.Log(), Line("Renamed: ", "in/Game.rom", "in/Game.rom") +
                             Line(" Moved: ", "in/Game.rom", "in/./Game.rom") +
                             Line("Renamed: ", "in/Game.rom", "in/Linked.rom"));
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"in/Game.rom", "in/Linked.rom"}));
}

TEST_F(RenameMoveTest, TheNewNameMustBeAFileNameAndAnArchiveKeepsZip) {
  // An archive's name ends in ".zip"; a dot in the folder's name is never cut at.
  WriteFile(dir_.Path("roms.old/x.zip"), "x");
  EXPECT_FALSE(Rename("roms.old/x.zip", "../a.rom"));
  EXPECT_TRUE(Rename("roms.old/x.zip", "Demo", true));
  EXPECT_EQ(Session().current_path + "|" + view_.GetText(kIdFilenameField),
            dir_.Path("roms.old/Demo.zip") + "|Demo.zip");
  EXPECT_EQ(ListTree(dir_.path()), Lines{"roms.old/Demo.zip"});
}

TEST_F(RenameMoveTest, ChangeOfLetterCaseOnlyIsCarriedOutWhereCaseFolds) {
  CaseFoldingEnv folding;
  ScopedEnv scoped(&folding);
  WriteFile(dir_.Path("game.rom"), "g");
  WriteFile(dir_.Path("other.rom"), "o");
  EXPECT_TRUE(Rename("game.rom", "Game.ROM"));
  EXPECT_FALSE(Rename("other.rom", "GAME.rom"));  // another file's name, in other letters
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"Game.ROM", "other.rom"}));
  EXPECT_EQ(home_.Log(), Line("Renamed: ", "game.rom", "Game.ROM") +
                             Line("Rename failed: ", "other.rom", "GAME.rom"));
}

}  // namespace
}  // namespace cartidex::test
