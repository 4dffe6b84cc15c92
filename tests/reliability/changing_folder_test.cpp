// A walk over a folder that changes under it and holds what is no file: a file deleted after the
// listing, a named pipe (which must not hang the walk), a link loop and a dangling link.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "actions/process_folder.h"
#include "app/headless_view.h"
#include "platform/dialog_view.h"
#include "support/game_library.h"

namespace cartidex::test {
namespace {

namespace fs = std::filesystem;

// Deletes a file once the walk has handled its first file.
class MeddlingView : public HeadlessView {
 public:
  bool KeepAlive() override {
    if (++handled == 1) ::unlink(victim.c_str());
    return true;
  }
  std::string victim;
  int handled = 0;
};

TEST(HostileInputTest, WalkOverFilesThatVanishOrAreNoFiles) {
  TestHome home;
  TempDir dir;
  const std::string in = dir.Path("in/"), out = dir.Path("out/");
  WriteFile(in + "a.bin", "first");
  WriteFile(in + "b.bin", "vanishes after the listing");
  WriteFile(in + "c.bin", "last");
  ASSERT_EQ(::mkfifo((in + "pipe").c_str(), 0666), 0);
  fs::create_symlink(dir.Path("nowhere"), in + "dangling");
  fs::create_directory_symlink(dir.Path("in"), in + "loop");
  MeddlingView view;
  view.victim = in + "b.bin";
  view.SetChecked(kIdSubdirs, true);
  view.SetChecked(kIdMoveUnknown, true);
  view.SetText(kIdMoveUnknownField, dir.Path("out"));
  ProcessFolder(&view, dir.Path("in"));
  // What cannot be read is named and moved aside as it is (the pipe stays a pipe, the link a
  // link); the file that is gone cannot be. The loop ends at once.
  auto moved = [&](const std::string& name) {
    return " Moved: " + in + name + " To: " + out + name + "\r\n";
  };
  EXPECT_EQ(home.Log(), OpenedLine(in + "a.bin", "first", false) + moved("a.bin") +
                            "Cannot read: " + in + "b.bin\r\n Move failed: " + in + "b.bin To: " +
                            out + "b.bin\r\n" + OpenedLine(in + "c.bin", "last", false) +
                            moved("c.bin") + "Cannot read: " + in + "dangling\r\n" +
                            moved("dangling") + "Cannot read: " + in + "pipe\r\n" + moved("pipe"));
  EXPECT_EQ(ListTree(dir.Path("in")), std::vector<std::string>{});
  EXPECT_EQ(ReadFile(out + "a.bin"), "first");
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(out + "pipe")));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(out + "dangling")));
  EXPECT_EQ(view.GetText(kIdNameField), "Several");
}

}  // namespace
}  // namespace cartidex::test

#endif  // !_WIN32: pipes and links are POSIX cases.
