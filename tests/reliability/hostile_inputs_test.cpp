// Archives made to harm: names that climb out of `tmp`, members that inflate far beyond what they
// declare or declare 4 GiB, archives cut short anywhere, and one with 10,000 members. None may
// write outside `tmp`, fill the disk, crash or leave `tmp` dirty after the next identification.
// And a walk over a folder that changes under it and holds what is no file: a file deleted after
// the listing, a named pipe (which must not hang the walk), a link loop and a dangling link.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "actions/process_folder.h"
#include "app/headless_view.h"
#include "identify/identify_file.h"
#include "identify/session_state.h"
#include "platform/dialog_view.h"
#include "support/game_library.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class HostileInputTest : public ::testing::Test {
 protected:
  HostileInputTest() { home_.AddDatafile("x.cxi", ""); }
  // Identifies the archive `name` made of `zip`; gives what it logged.
  std::string Show(const std::string& name, const std::string& zip) {
    WriteFile(in_.Path(name), zip);
    const size_t start = home_.Log().size();
    IdentifyAndShow(&view_, in_.Path(name), &result_);
    return home_.Log().substr(start);
  }
  // Everything written in the program folder but the datafile and the log.
  Lines Written() const {
    Lines files = ListTree(home_.path());
    std::erase_if(files,
                  [](const std::string& f) { return f == "datfiles/x.cxi" || f == "log.txt"; });
    return files;
  }
  // The next identification leaves `tmp` empty.
  void ExpectTmpClearedNextTime() {
    Show("plain.bin", "plain");
    EXPECT_EQ(ListTree(home_.Path("tmp")), Lines{});
  }

  TestHome home_;
  TempDir in_;
  HeadlessView view_;
  RomRecord result_;
};

TEST_F(HostileInputTest, NamesThatClimbOutOrAreAbsoluteLandInTmp) {
  Show("climb.zip", StoredZip({{"../../../../../../tmp/escaped.rom", "a"},
                               {"..\\..\\up.rom", "b"},
                               {"/etc/abs.rom", "c"},
                               {"C:\\Windows\\drive.rom", "d"},
                               {"..", "e"},
                               {"sub/../../../side.rom", "f"}}));
  EXPECT_EQ(Written(), (Lines{"tmp/abs.rom", "tmp/drive.rom", "tmp/escaped.rom", "tmp/side.rom",
                              "tmp/up.rom"}));
  EXPECT_FALSE(Exists("/tmp/escaped.rom"));
  ExpectTmpClearedNextTime();
}

TEST_F(HostileInputTest, MembersThatInflateBeyondTheirSizeOrDeclareFourGibibytesFail) {
  // 64 MiB of zeros deflate to some 64 KiB; the directory says 100 bytes. Then declared sizes of
  // 4 GiB, and the largest 32-bit one, which is the zip64 mark; then a method we cannot inflate.
  for (const ZipMember& member :
       {ZipMember("zeros.rom", std::string(64 << 20, '\0'), 8).Declare(100),
        ZipMember("huge.rom", std::string(1 << 20, 'h'), 8).Declare(0x100000000ull),
        ZipMember("mark.rom", std::string(1 << 20, 'm'), 8).Declare(0xFFFFFFFFull),
        ZipMember("packed.rom", "packed", 12)}) {
    SCOPED_TRACE(member.name);
    EXPECT_EQ(Show("bomb.zip", MakeZip({member})),
              "Cannot extract: " + in_.Path("bomb.zip") + "\r\n");
    EXPECT_EQ(view_.GetText(kIdNameField), "Error");
    for (const std::string& f : Written()) EXPECT_LE(ReadFile(home_.Path(f)).size(), 100u) << f;
    ExpectTmpClearedNextTime();
  }
}

TEST_F(HostileInputTest, ArchivesCutShortAnywhereFailWithoutHarm) {
  const std::string whole =
      MakeZip({ZipMember("one.rom", std::string(5000, '1'), 8),
               ZipMember("two.rom", std::string(7000, '2')), ZipMember("three.rom", "three", 8)});
  // A cut archive has no readable directory: nothing in it, nothing written.
  for (size_t cut = 0; cut < whole.size(); cut += whole.size() / 40 + 1) {
    EXPECT_EQ(Show("cut.zip", whole.substr(0, cut)),
              "No file in: " + in_.Path("cut.zip") + "\r\n\r\n")
        << cut;
    EXPECT_EQ(Written(), Lines{}) << cut;
  }
  // The directory whole, the data overwritten: members fail, none is taken for whole.
  const size_t data_end = whole.find("PK\x01\x02");
  for (size_t at = 40; at < data_end; at += 997) {
    std::string broken = whole;
    for (size_t i = at; i < std::min(at + 300, data_end); ++i) broken[i] = '\x55';
    const std::string log = Show("broken.zip", broken);
    EXPECT_TRUE(log == "Cannot extract: " + in_.Path("broken.zip") + "\r\n" ||
                log.starts_with("File unzipped: "))
        << at << ": " << log;
    ExpectTmpClearedNextTime();
  }
}

TEST_F(HostileInputTest, TenThousandMembersAreAllIdentifiedAndAllDeleted) {
  std::vector<ZipMember> members;
  for (int i = 0; i < 10000; ++i) {
    members.emplace_back("m" + std::to_string(i) + ".rom", "member " + std::to_string(i));
  }
  EXPECT_TRUE(Show("many.zip", MakeZip(members)).ends_with(" No set found\r\n\r\n"));
  EXPECT_EQ(Session().extracted_files.size(), 10000u);
  EXPECT_EQ(ListTree(home_.Path("tmp")).size(), 10000u);
  ExpectTmpClearedNextTime();
}

#ifndef _WIN32  // FIFOs and symbolic links are POSIX cases.
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

TEST_F(HostileInputTest, WalkOverFilesThatVanishOrAreNoFiles) {
  const TempDir& dir = in_;
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

  const size_t start = home_.Log().size();
  ProcessFolder(&view, dir.Path("in"));

  // What cannot be read is named and counts as unknown, so it is moved aside as it is (the pipe
  // stays a pipe, the link a link); the file that is gone cannot be. The loop ends at once.
  auto moved = [&](const std::string& name) {
    return " Moved: " + in + name + " To: " + out + name + "\r\n";
  };
  EXPECT_EQ(home_.Log().substr(start),
            OpenedLine(in + "a.bin", "first", false) + moved("a.bin") + "Cannot read: " + in +
                "b.bin\r\n Move failed: " + in + "b.bin To: " + out + "b.bin\r\n" +
                OpenedLine(in + "c.bin", "last", false) + moved("c.bin") + "Cannot read: " + in +
                "dangling\r\n" + moved("dangling") + "Cannot read: " + in + "pipe\r\n" +
                moved("pipe"));
  EXPECT_EQ(ListTree(dir.Path("in")), Lines{});
  EXPECT_EQ(ReadFile(out + "a.bin"), "first");
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(out + "pipe")));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(out + "dangling")));
  EXPECT_EQ(view.GetText(kIdNameField), "Several");
}

#endif

}  // namespace
}  // namespace cartidex::test
