#include "romdb/datafile_loader.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/activity_log.h"
#include "platform/env.h"
#include "platform/program_folder.h"
#include "romdb/describe.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

namespace fs = std::filesystem;

const char kLogiqx[] =
    "<datafile><header><name>Arcade</name></header>\r\n"
    "<game name=\"Bolt (Rev 1.1)\"><rom name=\"bolt.1\" size=\"16\" crc=\"0000ABCD\"/></game>\r\n"
    "<game name=\"Broken\"><rom name=\"x\" size=\"16\" crc=\"ABCD\"/></game></datafile>\r\n";
const char kClrMamePro[] = "game ( name Pocket rom ( name pocket.gb size 32 crc 00001234 ) )\n";

TEST(DatafileLoaderTest, OwnFilesFirstThenDatsThenXmlEachKindInListingOrder) {
  test::TestHome home;
  home.AddDatafile("b.cxi", "#console#;Own\r\nOwn Set.bin;16;0000ABCD\r\n");
  home.AddDatafile("Z.CXI", "Z.bin;1;00000001\r\n");
  home.AddDatafile("c.dat", kLogiqx);      // Logiqx in a ".dat"
  home.AddDatafile("a.xml", kClrMamePro);  // ClrMamePro in a ".xml"
  home.AddDatafile(".hidden.dat", kClrMamePro);
  home.AddDatafile("notes.txt", kClrMamePro);
  home.AddDatafile("own.dat", "Solo.bin;16;ABCD\r\n");  // the own format only as ".cxi"
  std::string utf16 = "\xFF\xFE";  // every line of a UTF-16 text is ended by a NUL at once
  for (const char c : std::string_view("#console#;Sys\r\nA.bin;1;1\r\n")) utf16 += {c, '\0'};
  home.AddDatafile("wide.cxi", utf16);
  home.AddDatafile("cut.xml", std::string(kLogiqx, sizeof kLogiqx - 14));
  LoadDatafiles();
  EXPECT_EQ(home.Log(),
            "Loading datafiles :\r\n - b.cxi\r\n - wide.cxi\r\n - Z.CXI\r\n"
            " - c.dat\r\n ! Line 3 skipped: bad number\r\n - own.dat\r\n ! Not a datafile\r\n"
            " - a.xml\r\n - cut.xml\r\n ! Not a datafile\r\n");
  EXPECT_EQ(
      Describe(Database()),
      "[Own Set.zip Own Set.bin@Own=16/0000ABCD][Z.zip Z.bin@Unknown=1/00000001]"
      "[Bolt (Rev 1.1).zip bolt.1@Arcade=16/0000ABCD][Pocket.zip pocket.gb@Unknown=32/00001234]");
}

TEST(DatafileLoaderTest, FilesThatCannotBeReadAreNamedAndSkipped) {
  test::TestHome home;
  home.AddDatafile("a.cxi", "A.bin;1;1\r\n");
  test::MakeDirs(home.Path("datfiles/folder.cxi"));
#ifndef _WIN32
  ASSERT_EQ(::symlink("loop.cxi", home.Path("datfiles/loop.cxi").c_str()), 0);
  ASSERT_EQ(::mkfifo(home.Path("datfiles/pipe.cxi").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("nowhere", home.Path("datfiles/dangling.cxi").c_str()), 0);
  const char* kUnreadable[] = {"dangling.cxi", "folder.cxi", "loop.cxi", "pipe.cxi"};
#else
  const char* kUnreadable[] = {"folder.cxi"};
#endif
  std::string unreadable;
  for (const char* name : kUnreadable) {
    unreadable +=
        std::string(" - ") + name + "\r\nCannot read: " + home.Path("datfiles/") + name + "\r\n";
  }
  home.AddDatafile("z.cxi", "Z.bin;2;2\r\n");
  LoadDatafiles();
  EXPECT_EQ(home.Log(), "Loading datafiles :\r\n - a.cxi\r\n" + unreadable + " - z.cxi\r\n");
  EXPECT_EQ(Describe(Database()),
            "[A.zip A.bin@Unknown=1/00000001][Z.zip Z.bin@Unknown=2/00000002]");
}

#ifndef _WIN32
// A program folder so deep that a datafile's path no longer fits the platform: the file is named
// in the log and skipped, never read through a cut path.
TEST(DatafileLoaderTest, ADatafileWhosePathIsTooLongIsSkipped) {
  test::TempDir root;
  const fs::path start = fs::current_path();
  std::string home = root.path();
  fs::current_path(home);
  int depth = 0;
  for (; home.size() < 4040; ++depth) {
    const size_t room = 4040 - home.size();
    const std::string part(room > 201 ? 200 : std::max<size_t>(room - 1, 1), 'd');
    fs::create_directory(part);
    fs::current_path(part);
    home += "/" + part;
  }
  fs::create_directory("datfiles");
  const std::string name = std::string(100, 'n') + ".cxi";
  { std::ofstream("datfiles/" + name, std::ios::binary) << "Deep.bin;1;1\r\n"; }
  { std::ofstream("datfiles/short.cxi", std::ios::binary) << "Short.bin;2;2\r\n"; }
  SetProgramFolder(home);
  Database().Clear();
  LoadDatafiles();
  EXPECT_EQ(Database().GetSetCount(), 1u);
  CloseLog();
  std::string log;
  EXPECT_TRUE(ReadWholeFile(Env::Default(), "log.txt", &log).ok());
  EXPECT_EQ(log, "Loading datafiles :\r\n - " + name + "\r\n ! Path too long\r\n - short.cxi\r\n");
  SetProgramFolder("");
  Database().Clear();
  // Take the tree down from the bottom: its full paths are too long for most calls.
  fs::remove_all("datfiles");
  fs::remove("log.txt");
  for (; depth > 0; --depth) {
    const fs::path here = fs::current_path().filename();
    fs::current_path("..");
    fs::remove(here);
  }
  fs::current_path(start);
}
#endif

}  // namespace
}  // namespace cartidex
