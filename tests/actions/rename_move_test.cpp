// Rename and move of the session's current file, over real folders: what the log says must be
// what happened on disk, and no file is ever lost or written over.
#include "actions/rename_move.h"

#include <gtest/gtest.h>
#include <strings.h>

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

class RenameMoveTest : public ::testing::Test {
 protected:
  // Makes dir_/`file` the file the last identification concerned, named `name` in the database.
  void Identified(const std::string& file, std::string_view name, bool archive = false) {
    Session().current_path = dir_.Path(file);
    Session().archive_mode = archive;
    view_.SetText(kIdNameField, name);
    view_.SetText(kIdFilenameField, file.substr(file.rfind('/') + 1));
  }
  bool Move(const std::string& target, std::string system = "S") {
    view_.SetText(kIdMoveKnownField, target);
    RomRecord result;
    result.system = std::move(system);
    return MoveCurrent(&view_, kIdMoveKnownField, result);
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
  Identified("in/Game.rom", "Game.rom");
  EXPECT_TRUE(RenameCurrent(&view_));
  EXPECT_TRUE(Move(dir_.Path("in/.")));
  // A second name of the same file (a hard link; its name of another length) is the file itself.
  std::filesystem::create_hard_link(dir_.Path("in/Game.rom"), dir_.Path("in/Linked.rom"));
  Identified("in/Game.rom", "Linked.rom");
  EXPECT_TRUE(RenameCurrent(&view_));
  EXPECT_EQ(Session().current_path, dir_.Path("in/Linked.rom"));
  EXPECT_EQ(view_.GetText(kIdFilenameField), "Linked.rom");
  EXPECT_EQ(home_.Log(), Line("Renamed: ", "in/Game.rom", "in/Game.rom") +
                             Line(" Moved: ", "in/Game.rom", "in/./Game.rom") +
                             Line("Renamed: ", "in/Game.rom", "in/Linked.rom"));
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"in/Game.rom", "in/Linked.rom"}));
}

TEST_F(RenameMoveTest, TheNewNameMustBeAFileNameAndAnArchiveKeepsZip) {
  // clang-format off
  const struct {
    std::string name;
    bool archive;
    const char* want;  // null: refused
  } kCases[] = {
      // An archive's name ends in ".zip"; a dot in the folder's name is never cut at.
      {"Demo Set.zip", true, "Demo Set.zip"}, {"Demo", true, "Demo.zip"}, {"a.b", false, "a.b"},
      {"", false, nullptr}, {".", false, nullptr}, {"..", false, nullptr},
      {"x/y.rom", false, nullptr}, {"../a.rom", false, nullptr},
      {std::string("a\0b", 3), false, nullptr}, {std::string(300, 'n'), false, nullptr},
#ifdef _WIN32
      {"x\\y.rom", false, nullptr}, {"con.rom", false, nullptr}, {"a?b.rom", false, nullptr},
      {"trailing.", false, nullptr},
#endif
  };
  // clang-format on
  for (const auto& c : kCases) {
    WriteFile(dir_.Path("roms.old/x.zip"), "x");
    Identified("roms.old/x.zip", c.name, c.archive);
    EXPECT_EQ(RenameCurrent(&view_), c.want != nullptr) << c.name;
    const std::string now = c.want != nullptr ? c.want : "x.zip";
    EXPECT_EQ(ListTree(dir_.path()), Lines{"roms.old/" + now});
    EXPECT_EQ(Session().current_path, dir_.Path("roms.old/" + now));
    EXPECT_EQ(view_.GetText(kIdFilenameField), now);
    std::filesystem::remove(dir_.Path("roms.old/" + now));
  }
}

TEST_F(RenameMoveTest, FailuresChangeNothingAndAreLogged) {
  WriteFile(dir_.Path("a.rom"), "a");
  WriteFile(dir_.Path("out"), "a file where the folder should be");
  Identified("a.rom", "b.rom");
  EXPECT_FALSE(Move(dir_.Path("out/sub")));
  EXPECT_FALSE(Move(dir_.Path("<system>"), std::string(300, 's')));  // past the limits, not cut
  FaultEnv faults;
  ScopedEnv scoped(&faults);
  faults.FailAlways(EnvOp::kCreateFolder);
  EXPECT_FALSE(Move(dir_.Path("new/")));  // a typed closing separator is not doubled
  faults.Clear();
  faults.FailNth(EnvOp::kMoveFile, 1);
  EXPECT_FALSE(Move(dir_.Path("new")));
  faults.FailNth(EnvOp::kMoveFile, 1);
  EXPECT_FALSE(RenameCurrent(&view_));
  EXPECT_TRUE(home_.Log().ends_with(Line(" Move failed: ", "a.rom", "new/a.rom") +
                                    Line(" Move failed: ", "a.rom", "new/a.rom") +
                                    Line("Rename failed: ", "a.rom", "b.rom")));
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"a.rom", "out"}));
  EXPECT_EQ(ReadFile(dir_.Path("out")), "a file where the folder should be");
}

// A file system that folds letter case, as on Windows: a path names the entry of its folder that
// equals it ignoring case.
class CaseFoldingEnv : public FaultEnv {
 public:
  std::string Resolve(const std::string& path) {
    const std::string folder = path.substr(0, path.rfind(kSeparator) + 1);
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

TEST_F(RenameMoveTest, ChangeOfLetterCaseOnlyIsCarriedOutWhereCaseFolds) {
  CaseFoldingEnv folding;
  ScopedEnv scoped(&folding);
  WriteFile(dir_.Path("game.rom"), "g");
  WriteFile(dir_.Path("other.rom"), "o");
  Identified("game.rom", "Game.ROM");
  EXPECT_TRUE(RenameCurrent(&view_));
  Identified("other.rom", "GAME.rom");  // another file's name, in other letters
  EXPECT_FALSE(RenameCurrent(&view_));
  EXPECT_EQ(ListTree(dir_.path()), (Lines{"Game.ROM", "other.rom"}));
  EXPECT_EQ(ReadFile(dir_.Path("Game.ROM")), "g");
  EXPECT_EQ(home_.Log(), Line("Renamed: ", "game.rom", "Game.ROM") +
                             Line("Rename failed: ", "other.rom", "GAME.rom"));
}

}  // namespace
}  // namespace cartidex::test
