// cartidex-cli where a user's files are at stake: a scratch folder that is a link or no folder,
// datafiles that cannot be read, moves and lists aimed at the program's own folders, a second
// instance, pipes, links that lead out of the walked folder, a move to another file system cut
// short by a kill. Every run is bound in time, so that one that hangs fails.
#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "e2e/cli_fixture.h"
#include "platform/env.h"

extern char** environ;

namespace cartidex::test {
namespace {

namespace fs = std::filesystem;

// A folder on another file system than the temporary folder's (/dev/shm), removed with all it
// holds; its path is empty where there is none.
class OtherFileSystemDir {
 public:
  OtherFileSystemDir() {
    struct stat shm, tmp;
    std::string templ = "/dev/shm/cartidex-test-XXXXXX";
    if (::stat("/dev/shm", &shm) == 0 && ::stat(fs::temp_directory_path().c_str(), &tmp) == 0 &&
        shm.st_dev != tmp.st_dev && ::mkdtemp(templ.data()) != nullptr) {
      path_ = templ;
    }
  }
  ~OtherFileSystemDir() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class SafetyTest : public CliTest {
 protected:
  // Tetris is a game of the system "tmp": "<system>" leads into the program's scratch folder.
  SafetyTest() { WriteFile(home.Path("datfiles/games.cxi"), "#console#;tmp\r\n" + game); }
  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"60", CARTIDEX_CLI, "--home", home.path(), "--keep-log", kept});
    return RunCli("timeout", args, work.path());
  }
  std::string Log() { return ReadFile(kept); }

  const std::string game = RomLine("Tetris.gb", kTetris), start_log = StartLog({"games.cxi"});
  TempDir keep;
  const std::string kept = keep.Path("log");
};

TEST_F(SafetyTest, ScratchFolderThatIsALinkOrAFileIsNeverEmptiedNorExtractedInto) {
  WriteZip(work.Path("set.zip"), {ZipMember("tetris.gb", kTetris)});
  WriteFile(work.Path("mine/notes.txt"), "the user's own");
  fs::create_directory_symlink(work.Path("mine"), home.Path("tmp"));
  for (int file = 0; file < 2; ++file) {
    if (file) fs::remove(home.Path("tmp"));
    if (file) WriteFile(home.Path("tmp"), "a file named tmp");
    ASSERT_EQ(Run({"single", work.Path("set.zip")}).status, 0);
    EXPECT_EQ(Log(), ReplaceAll(start_log, "Directory \"tmp\" emptied",
                                "Not a folder of its own: " + home.Path("tmp/")) +
                         "Cannot extract: " + work.Path("set.zip") + "\r\n" + kQuitted);
    EXPECT_EQ(Contents(work.Path("mine")), (Files{{"notes.txt", "the user's own"}}));
  }
  EXPECT_EQ(ReadFile(home.Path("tmp")), "a file named tmp");
}

TEST_F(SafetyTest, HugeAndUnreadableDatafilesAreRefusedAndTheOthersLoad) {
  const std::string dat = home.Path("datfiles/");
  for (const char* huge : {"huge.cxi", "huge.dat"}) {
    WriteFile(dat + huge, "");
    fs::resize_file(dat + huge, uint64_t{1} << 40);  // sparse: no disk taken
  }
  fs::create_symlink(dat + "gone.cxi", dat + "broken.cxi");
  ASSERT_EQ(::mkfifo((dat + "pipe.dat").c_str(), 0600), 0);
  CliRun run = Run({});
  EXPECT_EQ(Log(), StartLog({"broken.cxi\r\nCannot read: " + dat + "broken.cxi", "games.cxi",
                             "huge.cxi\r\nToo large to load: " + dat + "huge.cxi",
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
      {home.Path("tmp"), home.Path("tmp/")},
      {"<system>", "tmp/"},
      {"sorted/../tmp/deeper", "sorted/../tmp/deeper/"},
      {work.Path("to-tmp"), work.Path("to-tmp/")},
      {"datfiles", "datfiles/"},
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
  ASSERT_EQ(Run(args).status, 0);
  EXPECT_EQ(Log(), log + kQuitted);
  EXPECT_EQ(ReadFile(file), kTetris);
  EXPECT_EQ(ListTree(home.Path("tmp")), Lines{});
  EXPECT_EQ(ListTree(home.Path("datfiles")), Lines{"games.cxi"});
}

TEST_F(SafetyTest, SecondInstanceSaysSoTouchesNothingAndTheLockEndsWithTheFirst) {
  WriteFile(home.Path("log.txt"), "the first instance's log");
  WriteFile(home.Path("tmp/member.bin"), "being identified");
  // The first instance holds the program folder until it is killed, as a crash would end it.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t first = ::fork();
  ASSERT_GE(first, 0);
  if (first == 0) {
    std::unique_ptr<FolderLock> lock;
    const char held = RealEnv()->LockFolder(home.path(), &lock).ok() ? 'y' : 'n';
    if (::write(ready[1], &held, 1) != 1) ::_exit(1);
    for (;;) ::pause();
  }
  char held = 0;
  const bool told = ::read(ready[0], &held, 1) == 1;
  ::close(ready[0]);
  ::close(ready[1]);
  CliRun second = Run({"single", home.Path("log.txt")});
  ::kill(first, SIGKILL);
  ::waitpid(first, nullptr, 0);
  ASSERT_TRUE(told && held == 'y');
  EXPECT_EQ(second.status, 3);
  EXPECT_EQ(second.out, "");
  EXPECT_EQ(second.err, "cartidex-cli: another Cartidex is running in " + home.path() + "\n");
  EXPECT_EQ(Contents(home.path()), (Files{{"datfiles/games.cxi", "#console#;tmp\r\n" + game},
                                          {"log.txt", "the first instance's log"},
                                          {"tmp/member.bin", "being identified"}}));
  EXPECT_FALSE(Exists(kept));
  EXPECT_EQ(Run({}).status, 0);
  EXPECT_EQ(Log(), start_log + kQuitted);
}

TEST_F(SafetyTest, PipesAreRefusedAtOnceInAWalkAndAsASingleFile) {
  const std::string in = work.Path("in/");
  MakeDirs(in);
  for (const char* name : {"x.zip", "y.bin"}) ASSERT_EQ(::mkfifo((in + name).c_str(), 0666), 0);
  WriteFile(in + "z.gb", kTetris);
  ASSERT_EQ(Run({"directory", in, "single", in + "x.zip", "single", in + "y.bin"}).status, 0);
  const std::string pipes = "Cannot read: " + in + "x.zip\r\nCannot read: " + in + "y.bin\r\n";
  EXPECT_EQ(Log(), start_log + pipes + OpenedLine(in + "z.gb", kTetris, true) + pipes + kQuitted);
}

TEST_F(SafetyTest, WalksStayInTheChosenFolderAndMovedLinksKeepWhatTheyName) {
  OtherFileSystemDir other;
  WriteFile(work.Path("outside.bin"), "beside the chosen folder");
  WriteFile(work.Path("data/file.bin"), "named by a relative link");
  const Files outside = Contents(work.path());
  Lines targets = {work.Path("sorted/unknown")};
  if (!other.path().empty()) targets.push_back(other.path() + "/sorted/unknown");
  for (const std::string& out : targets) {
    SCOPED_TRACE(out);
    const std::string in = work.Path("in/");
    WriteFile(in + "sub/b.bin", "in a sub-folder");
    fs::create_directory_symlink("..", in + "up");
    fs::create_directory_symlink("sub", in + "inner");
    fs::create_symlink("../data/file.bin", in + "link.bin");
    ASSERT_EQ(Run({"--subdirs", "--move-unknown", out, "directory", in}).status, 0);
    // The link inside is followed (once); the one that leads out of the folder is not.
    EXPECT_EQ(Log(), start_log + OpenedLine(in + "inner/b.bin", "in a sub-folder", false) +
                         " Moved: " + in + "inner/b.bin To: " + out + "/b.bin\r\n" +
                         OpenedLine(in + "link.bin", "named by a relative link", false) +
                         " Moved: " + in + "link.bin To: " + out + "/link.bin\r\n" + kQuitted);
    EXPECT_TRUE(fs::is_symlink(out + "/link.bin"));
    EXPECT_EQ(Contents(out),
              (Files{{"b.bin", "in a sub-folder"}, {"link.bin", "named by a relative link"}}));
    fs::remove_all(work.Path("sorted"));
    fs::remove_all(in);
    EXPECT_EQ(Contents(work.path()), outside);
  }
}

TEST_F(SafetyTest, MoveToAnotherFileSystemKilledMidwayLeavesNoPart) {
  OtherFileSystemDir other;
  if (other.path().empty()) GTEST_SKIP() << "no second file system at /dev/shm";
  const std::string big = other.path() + "/big.bin", out = work.Path("out");
  WriteFile(big, std::string(128 << 20, 'b'));
  MakeDirs(out);
  std::string words[] = {CARTIDEX_CLI, "--home", home.path(), "--move-unknown", out, "single", big};
  char* argv[std::size(words) + 1] = {};
  for (size_t i = 0; i < std::size(words); ++i) argv[i] = words[i].data();
  posix_spawn_file_actions_t quiet;  // the fields go nowhere
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  ASSERT_EQ(::posix_spawn(&pid, argv[0], &quiet, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&quiet);
  // Once the program holds its copy open in the target folder, it is stopped as a shutdown
  // stops it.
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  bool copying = false, ended = false;
  int status = 0;
  for (int i = 0; i < 60000 && !copying && !ended; ++i) {
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator(fds, ec)) {
      copying = copying || fs::read_symlink(fd.path(), ec).string().starts_with(out + "/");
    }
    if (!copying) ended = ::waitpid(pid, &status, WNOHANG) == pid;
    if (!copying && !ended) ::usleep(500);
  }
  if (!ended) {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, &status, 0);
  }
  if (!copying) GTEST_SKIP() << "the move ended before it could be stopped";
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(ListTree(out), Lines{});
  EXPECT_EQ(fs::file_size(big), 128u << 20);
}

}  // namespace
}  // namespace cartidex::test

#endif  // !_WIN32
