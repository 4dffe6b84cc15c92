// Rename and move of the session's current file onto itself, to names valid or not, and where
// letter case folds. Failures and taken targets are pinned by the fault runs and end to end.
#include "actions/rename_move.h"

#include <gtest/gtest.h>
#include <strings.h>

#include <filesystem>
#include <string>
#include <tuple>
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
// equals it ignoring case.
class CaseFoldingEnv : public FaultEnv {
 public:
  std::string Resolve(const std::string& path) {
    const std::string folder(FolderOf(path));
    std::vector<DirEntry> entries;
    if (RealEnv()->GetKind(path) == FileKind::kMissing &&
        RealEnv()->ListFolder(folder, "*.*", &entries).ok()) {
      for (const DirEntry& e : entries) {
        if (strcasecmp(e.name.c_str(), path.c_str() + folder.size()) == 0) return folder + e.name;
      }
    }
    return path;
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
  EXPECT_EQ(Session().current_path + "|" + view_.GetText(kIdFilenameField),
            dir_.Path("in/Linked.rom") + "|Linked.rom");
  EXPECT_EQ(home_.Log(), Line("Renamed: ", "in/Game.rom", "in/Game.rom") +
                             Line(" Moved: ", "in/Game.rom", "in/./Game.rom") +
                             Line("Renamed: ", "in/Game.rom", "in/Linked.rom"));
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"in/Game.rom", "in/Linked.rom"}));
}

TEST_F(RenameMoveTest, TheNewNameMustBeAFileNameAndAnArchiveKeepsZip) {
  // An archive's name ends in ".zip"; a dot in the folder's name is never cut at.
  // clang-format off
  const std::tuple<std::string, bool, std::string> kCases[] = {  // name, archive, now ("": no)
      {"Demo Set.zip", true, "Demo Set.zip"}, {"Demo", true, "Demo.zip"}, {"a.b", false, "a.b"},
      {"", false, ""}, {"../a.rom", false, ""}, {std::string(300, 'n'), false, ""}};
  // clang-format on
  for (const auto& [name, archive, want] : kCases) {
    WriteFile(dir_.Path("roms.old/x.zip"), "x");
    view_.SetText(kIdFilenameField, "x.zip");
    EXPECT_EQ(Rename("roms.old/x.zip", name, archive), !want.empty()) << name;
    const std::string now = want.empty() ? "x.zip" : want;
    EXPECT_EQ(ListTree(dir_.path()), Lines{"roms.old/" + now});
    EXPECT_EQ(Session().current_path + "|" + view_.GetText(kIdFilenameField),
              dir_.Path("roms.old/" + now) + "|" + now);
    std::filesystem::remove(dir_.Path("roms.old/" + now));
  }
}

TEST_F(RenameMoveTest, ChangeOfLetterCaseOnlyIsCarriedOutWhereCaseFolds) {
  CaseFoldingEnv folding;
  ScopedEnv scoped(&folding);
  WriteFile(dir_.Path("game.rom"), "g");
  WriteFile(dir_.Path("other.rom"), "o");
  EXPECT_TRUE(Rename("game.rom", "Game.ROM"));
  EXPECT_FALSE(Rename("other.rom", "GAME.rom"));  // another file's name, in other letters
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"Game.ROM", "other.rom"}));
  EXPECT_EQ(ReadFile(dir_.Path("Game.ROM")), "g");
  EXPECT_EQ(home_.Log(), Line("Renamed: ", "game.rom", "Game.ROM") +
                             Line("Rename failed: ", "other.rom", "GAME.rom"));
}

}  // namespace
}  // namespace cartidex::test
