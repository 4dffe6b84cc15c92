// Rename and move of the session's current file, over real folders: what the log says must be
// what happened on disk, and no file is ever lost or written over.
#include "actions/rename_move.h"

#include <gtest/gtest.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "app/headless_view.h"
#include "identify/session_state.h"
#include "platform/env.h"
#include "platform/path.h"
#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

class RenameMoveTest : public ::testing::Test {
 protected:
  // Makes `path` the file the last identification concerned.
  void Identified(const std::string& path, std::string_view name, bool archive = false) {
    Session().current_path = path;
    Session().archive_mode = archive;
    view_.SetText(kIdNameField, name);
    view_.SetText(kIdFilenameField, std::string(BaseNameOf(path)));
  }
  static std::string_view BaseNameOf(std::string_view path) {
    return path.substr(path.rfind(kSeparator) + 1);
  }
  RomRecord System(std::string system) {
    RomRecord r;
    r.name = "x";
    r.system = std::move(system);
    return r;
  }

  TestHome home_;
  TempDir dir_;
  HeadlessView view_;
};

TEST_F(RenameMoveTest, ActionsOntoTheFileItselfSucceedWithoutChange) {
  WriteFile(dir_.Path("in/Game.rom"), "g");
  Identified(dir_.Path("in/Game.rom"), "Game.rom");
  view_.SetText(kIdMoveKnownField, dir_.Path("in/."));

  EXPECT_TRUE(RenameCurrent(&view_));
  EXPECT_TRUE(MoveCurrent(&view_, kIdMoveKnownField, System("S")));
  EXPECT_EQ(home_.Log(), "Renamed: " + dir_.Path("in/Game.rom") + " To: " +
                             dir_.Path("in/Game.rom") + "\r\n Moved: " + dir_.Path("in/Game.rom") +
                             " To: " + dir_.Path("in/./Game.rom") + "\r\n");
  EXPECT_EQ(ListTree(dir_.path()), (std::vector<std::string>{"in/Game.rom"}));
}

TEST_F(RenameMoveTest, SecondNameOfTheSameFileIsTheFileItself) {
  WriteFile(dir_.Path("a.rom"), "linked");
  std::error_code ec;
  std::filesystem::create_hard_link(dir_.Path("a.rom"), dir_.Path("Game.rom"), ec);
  ASSERT_FALSE(ec) << ec.message();
  Identified(dir_.Path("a.rom"), "Game.rom");
  EXPECT_TRUE(RenameCurrent(&view_));
  EXPECT_EQ(Session().current_path, dir_.Path("Game.rom"));
  EXPECT_EQ(ReadFile(dir_.Path("Game.rom")), "linked");
}

TEST_F(RenameMoveTest, NamesThatCannotBeAFileNameAreRefused) {
  WriteFile(dir_.Path("in/a.rom"), "a");
  std::vector<std::string> names = {
      std::string(),           std::string("."),       std::string(".."),    std::string("x/y.rom"),
      std::string("../a.rom"), std::string("a\0b", 3), std::string(300, 'n')};
#ifdef _WIN32
  // Here '\' separates folders too, and device names, '?' and a trailing dot name no file.
  names.insert(names.end(), {"x\\y.rom", "con.rom", "a?b.rom", "trailing."});
#endif
  for (const std::string& name : names) {
    Identified(dir_.Path("in/a.rom"), name);
    EXPECT_FALSE(RenameCurrent(&view_)) << name;
    EXPECT_EQ(Session().current_path, dir_.Path("in/a.rom"));
  }
  EXPECT_EQ(ListTree(dir_.path()), (std::vector<std::string>{"in/a.rom"}));
  const std::string log = home_.Log();
  EXPECT_EQ(log.find("Renamed"), std::string::npos);
  EXPECT_TRUE(log.starts_with("Rename failed: " + dir_.Path("in/a.rom") +
                              " To: " + dir_.Path("in/") + "\r\nRename failed: "))
      << log;
}

TEST_F(RenameMoveTest, ArchivesKeepTheZipExtension) {
  WriteFile(dir_.Path("roms.old/x.zip"), "zip 1");
  WriteFile(dir_.Path("roms.old/y.zip"), "zip 2");
  Identified(dir_.Path("roms.old/x.zip"), "Demo Set.zip", true);
  EXPECT_TRUE(RenameCurrent(&view_));
  // A name without its own dot gets ".zip"; the dot of the folder's name is never cut at.
  Identified(dir_.Path("roms.old/y.zip"), "Demo", true);
  EXPECT_TRUE(RenameCurrent(&view_));
  EXPECT_EQ(view_.GetText(kIdFilenameField), "Demo.zip");
  EXPECT_EQ(ListTree(dir_.path()),
            (std::vector<std::string>{"roms.old/Demo Set.zip", "roms.old/Demo.zip"}));
}

TEST_F(RenameMoveTest, PathsPastTheLimitsFailWithoutBeingCut) {
  WriteFile(dir_.Path("a.rom"), "a");
  Identified(dir_.Path("a.rom"), "a.rom");
  view_.SetText(kIdMoveKnownField, dir_.Path("<system>"));
  EXPECT_FALSE(MoveCurrent(&view_, kIdMoveKnownField, System(std::string(300, 's'))));
  view_.SetText(kIdMoveKnownField, dir_.Path("<system>/<system>/<system>/<system>"));
  std::string deep;
  for (int i = 0; i < 20; ++i) deep += std::string(200, 'd') + "/";
  EXPECT_FALSE(MoveCurrent(&view_, kIdMoveKnownField, System(deep)));
  EXPECT_EQ(ListTree(dir_.path()), (std::vector<std::string>{"a.rom"}));
}

TEST_F(RenameMoveTest, TargetBlockedByAFileOrAFailingPlatformFails) {
  WriteFile(dir_.Path("a.rom"), "a");
  WriteFile(dir_.Path("out"), "a file where the folder should be");
  Identified(dir_.Path("a.rom"), "a.rom");
  view_.SetText(kIdMoveKnownField, dir_.Path("out/sub"));
  EXPECT_FALSE(MoveCurrent(&view_, kIdMoveKnownField, System("S")));

  FaultEnv faults;
  ScopedEnv scoped(&faults);
  faults.FailAlways(EnvOp::kCreateFolder);
  // A target typed with its closing separator gets no second one.
  view_.SetText(kIdMoveKnownField, dir_.Path("new/"));
  EXPECT_FALSE(MoveCurrent(&view_, kIdMoveKnownField, System("S")));
  faults.Clear();
  faults.FailNth(EnvOp::kMoveFile, 1);
  EXPECT_FALSE(MoveCurrent(&view_, kIdMoveKnownField, System("S")));
  faults.FailNth(EnvOp::kMoveFile, 1);
  view_.SetText(kIdNameField, "b.rom");
  EXPECT_FALSE(RenameCurrent(&view_));
  EXPECT_EQ(home_.Log(),
            " Move failed: " + dir_.Path("a.rom") + " To: " + dir_.Path("out/sub/a.rom") +
                "\r\n Move failed: " + dir_.Path("a.rom") + " To: " + dir_.Path("new/a.rom") +
                "\r\n Move failed: " + dir_.Path("a.rom") + " To: " + dir_.Path("new/a.rom") +
                "\r\nRename failed: " + dir_.Path("a.rom") + " To: " + dir_.Path("b.rom") + "\r\n");
  EXPECT_EQ(ReadFile(dir_.Path("a.rom")), "a");
  EXPECT_EQ(ReadFile(dir_.Path("out")), "a file where the folder should be");
}

TEST_F(RenameMoveTest, MoveToAnotherFileSystemLeavesTheFileOnce) {
#ifdef _WIN32
  // Wine's drive Z: is the host's root: /dev/shm is another volume than the temporary folder.
  if (RealEnv()->GetKind("Z:\\dev\\shm") != FileKind::kFolder) GTEST_SKIP() << "no Z:\\dev\\shm";
  std::string other = "Z:\\dev\\shm\\cartidex-move-" + std::to_string(std::random_device()());
  ASSERT_TRUE(RealEnv()->CreateFolder(other).ok());
#else
  struct stat here, there;
  if (::stat("/dev/shm", &there) != 0 || ::stat(dir_.path().c_str(), &here) != 0 ||
      here.st_dev == there.st_dev) {
    GTEST_SKIP() << "no second file system";
  }
  std::string other = "/dev/shm/cartidex-move-XXXXXX";
  ASSERT_NE(::mkdtemp(other.data()), nullptr);
#endif
  WriteFile(dir_.Path("a.rom"), "travels");
  Identified(dir_.Path("a.rom"), "a.rom");
  view_.SetText(kIdMoveKnownField, other + kSeparator + "<c1>");
  EXPECT_TRUE(MoveCurrent(&view_, kIdMoveKnownField, System("S")));
  EXPECT_FALSE(Exists(dir_.Path("a.rom")));
  EXPECT_EQ(ReadFile(other + kSeparator + "A" + kSeparator + "a.rom"), "travels");
  EXPECT_EQ(ListTree(other), (std::vector<std::string>{"A/a.rom"}));
  std::filesystem::remove_all(other);
}

// A file system that folds letter case: a path names the entry of its folder that equals it
// ignoring case, as on Windows.
class CaseFoldingEnv : public FaultEnv {
 public:
  std::string Resolve(const std::string& path) {
    if (RealEnv()->GetKind(path) != FileKind::kMissing) return path;
    std::string folder = path.substr(0, path.rfind(kSeparator) + 1);
    std::string name = path.substr(folder.size());
    std::vector<DirEntry> entries;
    if (!RealEnv()->ListFolder(folder, "*.*", &entries).ok()) return path;
    for (const DirEntry& e : entries) {
      if (strcasecmp(e.name.c_str(), name.c_str()) == 0) return folder + e.name;
    }
    return path;
  }
  FileKind GetKind(const std::string& path) override { return FaultEnv::GetKind(Resolve(path)); }
  Status GetFileId(const std::string& path, FileId* id) override {
    return FaultEnv::GetFileId(Resolve(path), id);
  }
  Status MoveFile(const std::string& from, const std::string& to) override {
    if (RealEnv()->GetKind(Resolve(to)) != FileKind::kMissing) {
      return Status::Error(Status::Code::kExists, to + ": exists");
    }
    return FaultEnv::MoveFile(Resolve(from), to);
  }
};

TEST_F(RenameMoveTest, ChangeOfLetterCaseOnlyIsCarriedOutWhereCaseFolds) {
  CaseFoldingEnv folding;
  ScopedEnv scoped(&folding);
  WriteFile(dir_.Path("game.rom"), "g");
  WriteFile(dir_.Path("other.rom"), "o");
  Identified(dir_.Path("game.rom"), "Game.ROM");
  EXPECT_TRUE(RenameCurrent(&view_));
  Identified(dir_.Path("other.rom"), "GAME.rom");  // another file's name, in other letters
  EXPECT_FALSE(RenameCurrent(&view_));
  EXPECT_EQ(ListTree(dir_.path()), (std::vector<std::string>{"Game.ROM", "other.rom"}));
  EXPECT_EQ(ReadFile(dir_.Path("Game.ROM")), "g");
  EXPECT_EQ(home_.Log(), "Renamed: " + dir_.Path("game.rom") + " To: " + dir_.Path("Game.ROM") +
                             "\r\nRename failed: " + dir_.Path("other.rom") +
                             " To: " + dir_.Path("GAME.rom") + "\r\n");
}

}  // namespace
}  // namespace cartidex::test
