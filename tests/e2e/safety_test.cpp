// cartidex-cli where a user's files are at stake: a scratch folder that is a link or no folder,
// datafiles that cannot be read, moves and lists aimed at the program's own folders, a second
// instance, pipes, links that lead out of the walked folder, names whose every byte must stay.
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "e2e/cli_fixture.h"
#include "platform/env.h"

namespace cartidex::test {
namespace {

namespace fs = std::filesystem;

class SafetyTest : public CliTest {
 protected:
  // Tetris is a game of the system "tmp": "<system>" leads into the program's scratch folder.
  SafetyTest() { WriteFile(home.Path("datfiles/games.cxi"), "#console#;tmp\r\n" + game); }
  const std::string game = RomLine("Tetris.gb", kTetris), start_log = StartLog({"games.cxi"});
};

TEST_F(SafetyTest, ScratchFolderThatIsALinkOrAFileIsNeverEmptiedNorExtractedInto) {
  WriteZip(work.Path("set.zip"), {ZipMember("tetris.gb", kTetris)});
  WriteFile(work.Path("mine/notes.txt"), "the user's own");
  fs::create_directory_symlink(work.Path("mine"), home.Path("tmp"));
  for (int file = 0; file < 2; ++file) {
    if (file) fs::remove(home.Path("tmp"));
    if (file) WriteFile(home.Path("tmp"), "a file named tmp");
    EXPECT_EQ(Cli({"single", work.Path("set.zip")}).log,
              ReplaceAll(start_log, "Directory \"tmp\" emptied",
                         "Not a folder of its own: " + home.Path("tmp/")) +
                  "Cannot extract: " + work.Path("set.zip") + "\r\n" + kQuitted);
    EXPECT_EQ(Contents(work.Path("mine")), (Files{{"notes.txt", "the user's own"}}));
  }
  EXPECT_EQ(ReadFile(home.Path("tmp")), "a file named tmp");
}

TEST_F(SafetyTest, HugeAndUnreadableDatafilesAreRefusedAndTheOthersLoad) {
  const std::string dat = home.Path("datfiles/");
  WriteFile(dat + "huge.dat", "");
  fs::resize_file(dat + "huge.dat", uint64_t{1} << 40);  // sparse: no disk taken
  fs::create_symlink(dat + "gone.cxi", dat + "broken.cxi");
  ASSERT_EQ(::mkfifo((dat + "pipe.dat").c_str(), 0600), 0);
  CliRun run = Cli({});
  EXPECT_EQ(run.log, StartLog({"broken.cxi\r\nCannot read: " + dat + "broken.cxi", "games.cxi",
                               "huge.dat\r\nToo large to load: " + dat + "huge.dat",
                               "pipe.dat\r\nCannot read: " + dat + "pipe.dat"}) +
                         kQuitted);
  EXPECT_NE(run.out.find("1 roms in database"), std::string::npos) << run.out;
}

TEST_F(SafetyTest, MovesAndListsIntoTheProgramsOwnFoldersFailWhateverLeadsThere) {
  const std::string file = work.Path("in/x.gb");
  WriteFile(file, kTetris);
  fs::create_directory_symlink(home.Path("tmp"), work.Path("to-tmp"));
  // The first target finds no `tmp` yet: the move makes it, then finds itself there.
  const std::pair<std::string, std::string> kCases[] = {
      {"tmp", "tmp/"},
      {"<system>", "tmp/"},
      {"sorted/../tmp/deeper", "sorted/../tmp/deeper/"},
      {work.Path("to-tmp"), work.Path("to-tmp/")},
      {home.Path("datfiles/new"), home.Path("datfiles/new/")},
  };
  Lines args;
  std::string log = start_log;
  for (const auto& [text, folder] : kCases) {
    args.insert(args.end(), {"--move-known", text, "single", file});
    log +=
        OpenedLine(file, kTetris, true) + " Move failed: " + file + " To: " + folder + "x.gb\r\n";
  }
  for (const std::string& folder : {home.Path("tmp"), home.Path("datfiles")}) {
    args.insert(args.end(), {"generate", folder});
    log += "List not written: " + folder + "/tmp_have.txt\r\nList not written: " + folder +
           "/tmp_miss.txt\r\n";
  }
  EXPECT_EQ(Cli(args).log, log + kQuitted);
  EXPECT_EQ(ReadFile(file), kTetris);
  EXPECT_EQ(ListTree(home.Path("tmp")), Lines{});
  EXPECT_EQ(ListTree(home.Path("datfiles")), Lines{"games.cxi"});
}

TEST_F(SafetyTest, SecondInstanceSaysSoTouchesNothingAndTheLockEndsWithTheFirst) {
  WriteFile(home.Path("log.txt"), "the first instance's log");
  WriteFile(home.Path("tmp/member.bin"), "being identified");
  std::unique_ptr<FolderLock> lock;
  ASSERT_TRUE(RealEnv()->LockFolder(home.path(), &lock).ok());
  const Files before = Contents(home.path());
  CliRun second = Cli({"single", home.Path("log.txt")}, 3);
  EXPECT_EQ(second.out + second.log, "");
  EXPECT_EQ(second.err, "cartidex-cli: another Cartidex is running in " + home.path() + "\n");
  EXPECT_EQ(Contents(home.path()), before);
  lock.reset();
  EXPECT_EQ(Cli({}).log, start_log + kQuitted);
}

// Pipes and a dangling link are refused at once, in a walk and as single files, and moved aside
// as they are.
TEST_F(SafetyTest, WalksStayInTheChosenFolderAndRefuseWhatIsNoFile) {
  WriteFile(work.Path("outside.bin"), "beside the chosen folder");
  WriteFile(work.Path("data/file.bin"), "named by a relative link");
  const Files outside = Contents(work.path());
  const std::string in = work.Path("in/"), out = work.Path("sorted/unknown");
  WriteFile(in + "sub/b.bin", "in a sub-folder");
  fs::create_directory_symlink("..", in + "up");
  fs::create_directory_symlink("sub", in + "inner");
  fs::create_symlink("../data/file.bin", in + "link.bin");
  fs::create_symlink(in + "nowhere", in + "w.bin");
  for (const char* name : {"x.zip", "y.bin"}) ASSERT_EQ(::mkfifo((in + name).c_str(), 0666), 0);
  // The link inside is followed (once); the one that leads out of the folder is not.
  std::string log = start_log + "Cannot read: " + in + "x.zip\r\nCannot read: " + in + "y.bin\r\n" +
                    OpenedLine(in + "inner/b.bin", "in a sub-folder", false) + " Moved: " + in +
                    "inner/b.bin To: " + out + "/b.bin\r\n" +
                    OpenedLine(in + "link.bin", "named by a relative link", false) +
                    " Moved: " + in + "link.bin To: " + out + "/link.bin\r\n";
  for (const std::string name : {"w.bin", "x.zip", "y.bin"}) {
    log += "Cannot read: " + in + name + "\r\n Moved: " + in + name + " To: " + out + "/" + name +
           "\r\n";
  }
  EXPECT_EQ(Cli({"single", in + "x.zip", "single", in + "y.bin", "--subdirs", "--move-unknown", out,
                 "directory", in})
                .log,
            log + kQuitted);
  EXPECT_TRUE(fs::is_symlink(out + "/link.bin"));
  EXPECT_EQ(ReadFile(out + "/link.bin"), "named by a relative link");
  EXPECT_EQ(ListTree(out), (Lines{"b.bin", "link.bin", "w.bin", "x.zip", "y.bin"}));
  fs::remove_all(work.Path("sorted"));
  fs::remove_all(in);
  EXPECT_EQ(Contents(work.path()), outside);
}

// A database name with a Latin-1 byte, a blank and dashes.
const std::string kTetrisName = "T\xE9tris -J-.gb";

TEST_F(CliTest, NamesWithBlanksLineEndsDashesAndOddBytesKeepEveryByte) {
  WriteFile(home.Path("datfiles/games.cxi"),
            "#console#;Game Boy\r\n" + RomLine(kTetrisName, kTetris));
  const std::string w = work.path() + "/", t = work.path() + "/t/";
  const std::string dash = w + "-x y.bin";
  WriteFile(dash, kTetris);
  const std::pair<std::string, std::string> kUnknown[] = {
      {"new\nline.bin", "no rom at all"},
      {"d/--rename", "an option's name"},
      {"d/\xE6\x97\xA5\xE6\x9C\xAC.bin", "utf-8"},
      {"d/\xFF\xFE \xE9.bin", "latin and worse"}};
  for (const auto& [name, contents] : kUnknown) WriteFile(w + name, contents);
  CliRun run =
      Cli({"--rename", "--subdirs", "--move-known", t + "<system>", "--move-unknown", t + "unknown",
           "single", dash, "single", w + "new\nline.bin", "directory", w + "d"});
  // A line end in a name is shown escaped, so that the state lines stay lines.
  EXPECT_NE(run.out.find("Filename: new\\x0Aline.bin\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Filename: " + kTetrisName + "\n"), std::string::npos) << run.out;
  std::string log = StartLog({"games.cxi"}) + OpenedLine(dash, kTetris, true) + "Renamed: " + dash +
                    " To: " + w + kTetrisName + "\r\n Moved: " + w + kTetrisName + " To: " + t +
                    "Game Boy/" + kTetrisName + "\r\n";
  Lines moved = {"Game Boy/" + kTetrisName};
  for (const auto& [name, contents] : kUnknown) {
    const std::string base = name.substr(name.rfind('/') + 1);
    log += OpenedLine(w + name, contents, false) + " Moved: " + w + name + " To: " + t +
           "unknown/" + base + "\r\n";
    moved.push_back("unknown/" + base);
  }
  EXPECT_EQ(run.log, log + kQuitted);
  std::sort(moved.begin(), moved.end());
  EXPECT_EQ(ListTree(t), moved);
  EXPECT_EQ(ReadFile(t + "Game Boy/" + kTetrisName), kTetris);
}

}  // namespace
}  // namespace cartidex::test

#endif  // !_WIN32
