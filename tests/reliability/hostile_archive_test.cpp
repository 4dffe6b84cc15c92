// Archives made to harm: names that climb out of `tmp`, members that inflate far beyond what they
// declare or declare 4 GiB, archives cut short anywhere, and one with 10,000 members. None may
// write outside `tmp`, fill the disk, crash or leave `tmp` dirty after the next identification.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/headless_view.h"
#include "identify/identify_file.h"
#include "identify/session_state.h"
#include "platform/dialog_view.h"
#include "romdb/rom_database.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

class HostileArchiveTest : public ::testing::Test {
 protected:
  HostileArchiveTest() {
    home_.AddDatafile("x.cxi", "");
    WriteFile(home_.Path("plain.bin"), "plain");
  }
  bool Show(const std::string& path) {
    log_start_ = home_.Log().size();
    return IdentifyAndShow(&view_, path, &result_);
  }
  std::string Log() const { return home_.Log().substr(log_start_); }
  std::vector<std::string> Fields() {
    std::vector<std::string> fields;
    for (int id : {kIdFilenameField, kIdNameField, kIdSystemField, kIdCrcField, kIdSizeField}) {
      fields.push_back(view_.GetText(id));
    }
    return fields;
  }
  // Everything in the program folder but the datafiles, the log and the archives laid out.
  std::vector<std::string> Written() const {
    std::vector<std::string> files;
    for (const std::string& f : ListTree(home_.path())) {
      if (f.starts_with("datfiles/") || f == "log.txt" || f == "plain.bin" || f.ends_with(".zip")) {
        continue;
      }
      files.push_back(f);
    }
    return files;
  }
  // The next identification leaves `tmp` empty.
  void ExpectTmpClearedNextTime() {
    Show(home_.Path("plain.bin"));
    EXPECT_TRUE(ListTree(home_.Path("tmp")).empty());
  }

  TestHome home_;
  HeadlessView view_;
  RomRecord result_;
  size_t log_start_ = 0;
};

TEST_F(HostileArchiveTest, NamesThatClimbOutOrAreAbsoluteLandInTmp) {
  const std::string zip = home_.Path("climb.zip");
  WriteZip(zip,
           {ZipMember("../../../../../../tmp/escaped.rom", "a"), ZipMember("..\\..\\up.rom", "b"),
            ZipMember("/etc/abs.rom", "c"), ZipMember("C:\\Windows\\drive.rom", "d"),
            ZipMember("..", "e"), ZipMember("sub/../../../side.rom", "f")});
  Show(zip);
  EXPECT_EQ(Written(), (std::vector<std::string>{"tmp/abs.rom", "tmp/drive.rom", "tmp/escaped.rom",
                                                 "tmp/side.rom", "tmp/up.rom"}));
  EXPECT_FALSE(Exists("/tmp/escaped.rom"));
  ExpectTmpClearedNextTime();
}

TEST_F(HostileArchiveTest, MembersThatInflateBeyondTheirSizeOrDeclareFourGibibytesFail) {
  // 64 MiB of zeros deflate to some 64 KiB; the directory says 100 bytes.
  const std::string bomb = home_.Path("bomb.zip");
  WriteZip(bomb, {ZipMember("zeros.rom", std::string(64 << 20, '\0'), 8).Declare(100)});
  // Declared sizes of 4 GiB and more, and the largest 32-bit one, which is the zip64 mark.
  const std::string huge = home_.Path("huge.zip");
  WriteZip(huge, {ZipMember("huge.rom", std::string(1 << 20, 'h'), 8).Declare(0x100000000ull)});
  const std::string mark = home_.Path("mark.zip");
  WriteZip(mark, {ZipMember("mark.rom", std::string(1 << 20, 'm'), 8).Declare(0xFFFFFFFFull)});
  const std::string unsupported = home_.Path("bzip.zip");
  WriteZip(unsupported, {ZipMember("packed.rom", "packed", 12)});

  for (const std::string& zip : {bomb, huge, mark, unsupported}) {
    SCOPED_TRACE(zip);
    EXPECT_FALSE(Show(zip));
    // Like a member of an unsupported method: the archive cannot be extracted.
    EXPECT_EQ(Log(), "Cannot extract: " + zip + "\r\n");
    EXPECT_EQ(Fields(), std::vector<std::string>(5, "Error"));
    for (const std::string& f : Written()) {
      EXPECT_LE(ReadFile(home_.Path(f)).size(), 100u) << f;
    }
    ExpectTmpClearedNextTime();
  }
}

TEST_F(HostileArchiveTest, ArchivesCutShortAnywhereFailWithoutHarm) {
  const std::string whole =
      MakeZip({ZipMember("one.rom", std::string(5000, '1'), 8),
               ZipMember("two.rom", std::string(7000, '2')), ZipMember("three.rom", "three", 8)});
  int tried = 0;
  for (size_t cut = 0; cut < whole.size(); cut += whole.size() / 40 + 1) {
    const std::string zip = home_.Path("cut.zip");
    WriteFile(zip, whole.substr(0, cut));
    Show(zip);
    ++tried;
    // A cut archive has no readable directory: nothing in it, nothing written.
    EXPECT_EQ(Log(), "No file in: " + zip + "\r\n\r\n") << cut;
    EXPECT_TRUE(Written().empty()) << cut;
  }
  // The directory whole, the data cut or overwritten: members fail, none is taken for whole.
  const size_t data_end = whole.find("PK\x01\x02");
  for (size_t at = 40; at < data_end; at += 997) {
    std::string broken = whole;
    for (size_t i = at; i < std::min(at + 300, data_end); ++i) broken[i] = '\x55';
    const std::string zip = home_.Path("broken.zip");
    WriteFile(zip, broken);
    Show(zip);
    ++tried;
    EXPECT_TRUE(Log() == "Cannot extract: " + zip + "\r\n" || Log().starts_with("File unzipped: "))
        << at << ": " << Log();
    ExpectTmpClearedNextTime();
  }
  EXPECT_GT(tried, 40);
  std::printf("cut or broken archives: %d tried\n", tried);
}

TEST_F(HostileArchiveTest, TenThousandMembersAreAllIdentifiedAndAllDeleted) {
  std::vector<ZipMember> members;
  for (int i = 0; i < 10000; ++i) {
    members.emplace_back("m" + std::to_string(i) + ".rom", "member " + std::to_string(i));
  }
  const std::string zip = home_.Path("many.zip");
  WriteZip(zip, members);
  Show(zip);
  EXPECT_EQ(Session().extracted_files.size(), 10000u);
  EXPECT_TRUE(Log().ends_with(" No set found\r\n\r\n"));
  EXPECT_EQ(ListTree(home_.Path("tmp")).size(), 10000u);
  ExpectTmpClearedNextTime();
}

}  // namespace
}  // namespace cartidex::test
