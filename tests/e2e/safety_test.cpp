// cartidex-cli where a user's files are at stake: a scratch folder that is a link or no folder,
// moves and lists aimed at the program's own folders, a second instance on one program folder,
// pipes, links that lead out of the walked folder, and moves to another file system under a
// writer or cut short by a kill. Each builds the tree a user would have, runs the program (bound
// in time, so that a run that hangs fails), and checks that every file's contents are still
// there, nothing outside the chosen folder changed, and the log names the failure.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/env.h"
#include "support/game_library.h"
#include "support/run_cli.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

extern char** environ;

namespace cartidex::test {
namespace {

namespace fs = std::filesystem;
using Contents = std::map<std::string, std::string>;

const std::string kStartLog =
    "Cartidex starting\r\nCartidex intialised\r\nRedirection installed\r\n"
    "Directory \"tmp\" emptied\r\nLoading datafiles :\r\n - games.cxi\r\n"
    "Datafiles loaded\r\nShowing dialogbox\r\n\r\n";

// Every file below `root` (links to files read through): relative path -> contents.
Contents TreeContents(const std::string& root) {
  Contents tree;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_directory(ec)) {
      tree[it->path().lexically_relative(root).string()] = ReadFile(it->path().string());
    }
  }
  return tree;
}

// A folder on another file system than the temporary folder's (/dev/shm), removed with all it
// holds; its path is empty where there is none.
class OtherFileSystemDir {
 public:
  OtherFileSystemDir() {
    struct stat shm, tmp;
    if (::stat("/dev/shm", &shm) != 0 || ::stat(fs::temp_directory_path().c_str(), &tmp) != 0 ||
        shm.st_dev == tmp.st_dev) {
      return;
    }
    std::string templ = "/dev/shm/cartidex-test-XXXXXX";
    if (::mkdtemp(templ.data()) != nullptr) path_ = templ;
  }
  ~OtherFileSystemDir() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// True when process `pid` has a file open below `folder`.
bool HasFileOpenIn(pid_t pid, const std::string& folder) {
  std::error_code ec;
  for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
    std::error_code link_ec;
    if (fs::read_symlink(fd.path(), link_ec).string().starts_with(folder + "/")) return true;
  }
  return false;
}

class SafetyTest : public ::testing::Test {
 protected:
  SafetyTest() {
    // Tetris is a game of the system "tmp": "<system>" leads into the program's scratch folder.
    WriteFile(home_.Path("datfiles/games.cxi"), "#console#;tmp\r\nTetris.gb;16;11111111\r\n");
  }
  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(),
                {"60", CARTIDEX_CLI, "--home", home_.path(), "--keep-log", keep_.Path("log")});
    return RunCli("timeout", args, work_.path());
  }
  std::string Log() { return ReadFile(keep_.Path("log")); }

  TempDir home_, work_, keep_;
};

TEST_F(SafetyTest, ScratchFolderThatIsALinkOrAFileIsNeverEmptiedNorExtractedInto) {
  WriteZip(work_.Path("set.zip"), {ZipMember("tetris.gb", kTetris)});
  WriteFile(work_.Path("mine/notes.txt"), "the user's own");
  for (bool link : {true, false}) {
    if (link) fs::create_directory_symlink(work_.Path("mine"), home_.Path("tmp"));
    if (!link) fs::remove(home_.Path("tmp"));
    if (!link) WriteFile(home_.Path("tmp"), "a file named tmp");
    CliRun run = Run({"single", work_.Path("set.zip")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Log(),
              "Cartidex starting\r\nCartidex intialised\r\nRedirection installed\r\n"
              "Not a folder of its own: " +
                  home_.Path("tmp/") + "\r\n" + kStartLog.substr(kStartLog.find("Load")) +
                  "Cannot extract: " + work_.Path("set.zip") + "\r\nCartidex quitted");
    EXPECT_EQ(TreeContents(work_.Path("mine")), (Contents{{"notes.txt", "the user's own"}}));
  }
  EXPECT_EQ(ReadFile(home_.Path("tmp")), "a file named tmp");
}

// Datafiles that cannot be read, or are too large to read, are named in the log; the others load.
TEST_F(SafetyTest, HugeAndUnreadableDatafilesAreRefusedAndTheOthersLoad) {
  for (const char* huge : {"datfiles/huge.cxi", "datfiles/huge.dat"}) {
    WriteFile(home_.Path(huge), "");
    fs::resize_file(home_.Path(huge), uint64_t{1} << 40);  // sparse: 1 TiB, no disk taken
  }
  fs::create_symlink(home_.Path("datfiles/gone.cxi"), home_.Path("datfiles/broken.cxi"));
  ASSERT_EQ(::mkfifo(home_.Path("datfiles/pipe.dat").c_str(), 0600), 0);
  CliRun run = Run({});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string datfiles = home_.Path("datfiles/");
  EXPECT_EQ(Log(), kStartLog.substr(0, kStartLog.find(" - games")) +
                       " - broken.cxi\r\nCannot read: " + datfiles +
                       "broken.cxi\r\n - games.cxi\r\n - huge.cxi\r\nToo large to load: " +
                       datfiles + "huge.cxi\r\n - huge.dat\r\nToo large to load: " + datfiles +
                       "huge.dat\r\n - pipe.dat\r\nCannot read: " + datfiles +
                       "pipe.dat\r\nDatafiles loaded\r\nShowing dialogbox\r\n\r\nCartidex quitted");
  EXPECT_NE(run.out.find("1 roms in database"), std::string::npos) << run.out;
  EXPECT_FALSE(fs::exists(home_.Path("log.txt")));
}

TEST_F(SafetyTest, MovesAndListsIntoTheProgramsOwnFoldersFailWhateverLeadsThere) {
  const std::string file = work_.Path("in/x.gb");
  WriteFile(file, kTetris);
  fs::create_directory_symlink(home_.Path("tmp"), work_.Path("to-tmp"));
  // The first text finds no `tmp` yet: the move makes it, then finds itself there.
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"tmp", "tmp/"},
      {home_.Path("tmp"), home_.Path("tmp/")},
      {"<system>", "tmp/"},
      {"sorted/../tmp/deeper", "sorted/../tmp/deeper/"},
      {work_.Path("to-tmp"), work_.Path("to-tmp/")},
      {"datfiles", "datfiles/"},
      {home_.Path("datfiles/new"), home_.Path("datfiles/new/")},
  };
  std::vector<std::string> args;
  std::string expected = kStartLog;
  for (const auto& [text, folder] : cases) {
    args.insert(args.end(), {"--move-known", text, "single", file});
    expected +=
        OpenedLine(file, kTetris, true) + " Move failed: " + file + " To: " + folder + "x.gb\r\n";
  }
  for (const std::string& folder : {home_.Path("tmp"), home_.Path("datfiles")}) {
    args.insert(args.end(), {"generate", folder});
    expected += "List not written: " + folder + "/tmp_have.txt\r\nList not written: " + folder +
                "/tmp_miss.txt\r\n";
  }
  CliRun run = Run(args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Log(), expected + "Cartidex quitted");
  EXPECT_EQ(ReadFile(file), kTetris);
  EXPECT_EQ(ListTree(home_.Path("tmp")), std::vector<std::string>{});
  EXPECT_EQ(ListTree(home_.Path("datfiles")), std::vector<std::string>{"games.cxi"});
}

TEST_F(SafetyTest, SecondInstanceSaysSoTouchesNothingAndTheLockEndsWithTheFirst) {
  WriteFile(home_.Path("log.txt"), "the first instance's log");
  WriteFile(home_.Path("tmp/member.bin"), "being identified");
  // The first instance: a process that holds the program folder, killed at the end as a crash
  // would end it.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t first = ::fork();
  ASSERT_GE(first, 0);
  if (first == 0) {
    std::unique_ptr<FolderLock> lock;
    const char held = RealEnv()->LockFolder(home_.path(), &lock).ok() ? 'y' : 'n';
    if (::write(ready[1], &held, 1) != 1) ::_exit(1);
    for (;;) ::pause();
  }
  char held = 0;
  const bool told = ::read(ready[0], &held, 1) == 1;
  ::close(ready[0]);
  ::close(ready[1]);
  CliRun second = Run({"single", home_.Path("log.txt")});
  ::kill(first, SIGKILL);
  ::waitpid(first, nullptr, 0);
  ASSERT_TRUE(told && held == 'y');

  EXPECT_EQ(second.status, 3);
  EXPECT_EQ(second.out, "");
  EXPECT_EQ(second.err, "cartidex-cli: another Cartidex is running in " + home_.path() + "\n");
  EXPECT_EQ(ReadFile(home_.Path("log.txt")), "the first instance's log");
  EXPECT_EQ(ReadFile(home_.Path("tmp/member.bin")), "being identified");
  EXPECT_FALSE(Exists(keep_.Path("log")));

  CliRun after = Run({});
  EXPECT_EQ(after.status, 0) << after.err;
  EXPECT_EQ(Log(), kStartLog + "Cartidex quitted");
}

TEST_F(SafetyTest, PipesAreRefusedAtOnceInAWalkAndAsASingleFile) {
  const std::string in = work_.Path("in/");
  MakeDirs(in);
  for (const char* name : {"x.zip", "y.bin"}) ASSERT_EQ(::mkfifo((in + name).c_str(), 0666), 0);
  WriteFile(in + "z.gb", kTetris);
  CliRun run = Run({"directory", in, "single", in + "x.zip", "single", in + "y.bin"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Log(), kStartLog + "Cannot read: " + in + "x.zip\r\nCannot read: " + in + "y.bin\r\n" +
                       OpenedLine(in + "z.gb", kTetris, true) + "Cannot read: " + in +
                       "x.zip\r\nCannot read: " + in + "y.bin\r\nCartidex quitted");
}

TEST_F(SafetyTest, WalksStayInTheChosenFolderAndMovedLinksKeepWhatTheyName) {
  OtherFileSystemDir other;
  WriteFile(work_.Path("outside.bin"), "beside the chosen folder");
  WriteFile(work_.Path("data/file.bin"), "named by a relative link");
  const Contents outside = TreeContents(work_.path());
  std::vector<std::string> targets = {work_.Path("sorted/unknown")};
  if (!other.path().empty()) targets.push_back(other.path() + "/sorted/unknown");
  for (const std::string& out : targets) {
    SCOPED_TRACE(out);
    const std::string in = work_.Path("in/");
    WriteFile(in + "sub/b.bin", "in a sub-folder");
    fs::create_directory_symlink("..", in + "up");
    fs::create_directory_symlink("sub", in + "inner");
    fs::create_symlink("../data/file.bin", in + "link.bin");

    CliRun run = Run({"--subdirs", "--move-unknown", out, "directory", in});
    ASSERT_EQ(run.status, 0) << run.err;
    // The link inside is followed (once); the one that leads out of the folder is not.
    EXPECT_EQ(Log(), kStartLog + OpenedLine(in + "inner/b.bin", "in a sub-folder", false) +
                         " Moved: " + in + "inner/b.bin To: " + out + "/b.bin\r\n" +
                         OpenedLine(in + "link.bin", "named by a relative link", false) +
                         " Moved: " + in + "link.bin To: " + out + "/link.bin\r\n" +
                         "Cartidex quitted");
    EXPECT_TRUE(fs::is_symlink(out + "/link.bin"));
    EXPECT_EQ(TreeContents(out),
              (Contents{{"b.bin", "in a sub-folder"}, {"link.bin", "named by a relative link"}}));
    fs::remove_all(work_.Path("sorted"));
    fs::remove_all(in);
    EXPECT_EQ(TreeContents(work_.path()), outside);
  }
}

TEST_F(SafetyTest, MoveToAnotherFileSystemUnderAWriterFailsAndLosesNothing) {
  OtherFileSystemDir other;
  if (other.path().empty()) GTEST_SKIP() << "no second file system at /dev/shm";
  const std::string download = work_.Path("download.part");
  const size_t start = 64 << 20;
  WriteFile(download, std::string(start, 'd'));
  // A download in progress: it goes on appending while the program reads and moves the file.
  std::atomic<bool> stop{false};
  uint64_t written = start;
  std::thread writer([&] {
    const std::string chunk(64 << 10, 'w');
    const int fd = ::open(download.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    while (fd >= 0 && !stop) {
      const ssize_t w = ::write(fd, chunk.data(), chunk.size());
      if (w > 0) written += static_cast<uint64_t>(w);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (fd >= 0) ::close(fd);
  });
  CliRun run = Run({"--move-unknown", other.path(), "single", download});
  stop = true;
  writer.join();
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string log = Log();
  EXPECT_NE(log.find(" Move failed: " + download + " To: " + other.path() + "/download.part\r\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(ListTree(other.path()), std::vector<std::string>{});
  EXPECT_EQ(fs::file_size(download), written);
}

TEST_F(SafetyTest, MoveToAnotherFileSystemKilledMidwayLeavesNoPart) {
  OtherFileSystemDir other;
  if (other.path().empty()) GTEST_SKIP() << "no second file system at /dev/shm";
  const std::string big = other.path() + "/big.bin";
  const size_t size = 128 << 20;
  WriteFile(big, std::string(size, 'b'));
  const std::string out = work_.Path("out");
  MakeDirs(out);
  std::string words[] = {CARTIDEX_CLI, "--home", home_.path(), "--move-unknown",
                         out,          "single", big};
  char* argv[] = {words[0].data(), words[1].data(), words[2].data(), words[3].data(),
                  words[4].data(), words[5].data(), words[6].data(), nullptr};
  posix_spawn_file_actions_t quiet;  // the state blocks go nowhere
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  ASSERT_EQ(::posix_spawn(&pid, argv[0], &quiet, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&quiet);

  // Once the program holds its copy open in the target folder, it is stopped as a shutdown
  // stops it.
  bool copying = false, ended = false;
  int status = 0;
  for (int i = 0; i < 60000 && !copying && !ended; ++i) {
    copying = HasFileOpenIn(pid, out);
    if (!copying) ended = ::waitpid(pid, &status, WNOHANG) == pid;
    if (!copying && !ended) ::usleep(500);
  }
  if (!ended) {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, &status, 0);
  }
  if (!copying) GTEST_SKIP() << "the move ended before it could be stopped";
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(ListTree(out), std::vector<std::string>{});
  EXPECT_EQ(fs::file_size(big), size);
}

}  // namespace
}  // namespace cartidex::test

#endif  // !_WIN32
