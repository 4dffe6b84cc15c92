#include "romdb/datafile_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/activity_log.h"
#include "platform/decimal_text.h"
#include "platform/env.h"
#include "platform/program_folder.h"
#include "romdb/database_describe.h"
#include "romdb/rom_database.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

using test::TestHome;

// Parses `contents` into a fresh database and returns what the parse logged. Every text is
// parsed on one core and again on two, which must load, log and look up the same.
std::string Parse(std::string_view contents, RomDatabase* db) {
  TestHome home;
  ParseOwnDatafile(contents, db);
  return home.Log();
}

TEST(DatafileLoaderTest, WorkedExample) {
  RomDatabase db;
  Parse(
      "#console#;Game Console\r\n"
      "Sample Set (Rev 2.0).zip:samp.u1:samp.u2;:65536:131072;:1A2B3C4D:00ff00ff\r\n"
      "Space Race.bin;32768;89ABCDEF\r\n"
      "\r\n"
      "Collection notes: two sets\r\n",
      &db);
  EXPECT_EQ(Describe(db),
            "[Sample Set (Rev 2.0).zip samp.u1@Game Console=65536/1A2B3C4D "
            "samp.u2@Game Console=131072/00FF00FF]"
            "[Space Race.zip Space Race.bin@Game Console=32768/89ABCDEF]");
}

TEST(DatafileLoaderTest, EveryLineEndIsConsumedWhole) {
  const std::string lines[] = {"#console#;Sys", "A.bin;1;1", "B.bin;2;2", "", "C.bin;3;3"};
  const char* ends[] = {"\r\n", "\n", "\r"};
  std::string want;
  {
    RomDatabase db;
    std::string crlf;
    for (const std::string& l : lines) crlf += l + "\r\n";
    Parse(crlf, &db);
    want = Describe(db);
    EXPECT_EQ(db.GetSetCount(), 3u);
  }
  for (const char* end : ends) {
    std::string text;
    for (const std::string& l : lines) text += l + end;
    RomDatabase db;
    Parse(text, &db);
    EXPECT_EQ(Describe(db), want) << "line end " << static_cast<int>(end[0]);
  }
  // Mixed ends, a byte-order mark, and a last line without an end.
  RomDatabase db;
  Parse("\xEF\xBB\xBF#console#;Sys\nA.bin;1;1\r\rB.bin;2;2\n\rC.bin;3;3", &db);
  EXPECT_EQ(Describe(db), want);
}

TEST(DatafileLoaderTest, NulEndsALineInsideAndTheParseAtALineStart) {
  RomDatabase db;
  Parse(std::string("A.bin;1;1\0B.bin;2;2\r\n\0C.bin;3;3\r\n", 32), &db);
  EXPECT_EQ(Describe(db), "[A.zip A.bin@Unknown=1/00000001][B.zip B.bin@Unknown=2/00000002]");
}

// Separators and line ends at every place within the words the parse reads at once, beside
// bytes that differ from them only in the top bit (which are plain name bytes).
TEST(DatafileLoaderTest, SeparatorsAndEndsAreFoundWhereverTheyFall) {
  const std::string ends[] = {"\r\n", "\n", "\r", std::string(1, '\0')};
  std::string text = "#console#;Long System Name\r\n";
  std::string want;
  for (size_t pad = 0; pad < 20; ++pad) {
    const std::string name = std::string(pad, 'p') + "\xBA\xBB\x8D\x8A\x80";
    text += name + ".bin;" + std::string(pad, '0') + "7;" + std::string(pad, '0') + "1f" +
            ends[pad % 4];
    want += "[" + name + ".zip " + name + ".bin@Long System Name=7/0000001F]";
  }
  RomDatabase db;
  EXPECT_EQ(Parse(text, &db), "");
  EXPECT_EQ(Describe(db), want);
}

// Sizes are read as StrToInt reads them, whatever their length, signs or stray bytes, and
// wherever they stand.
TEST(DatafileLoaderTest, SizesReadAsDecimalTextReadsThem) {
  std::vector<std::string> sizes = {"",
                                    "+5",
                                    "-5",
                                    "12a",
                                    "a12",
                                    "4294967295",
                                    "4294967296",
                                    "99999999",
                                    "0",
                                    "00000000065536",
                                    "1:",
                                    "9 9",
                                    "\xB1"
                                    "2"};
  std::string digits;
  for (int n = 1; n <= 12; ++n) {
    digits += static_cast<char>('0' + (n * 7) % 10);
    sizes.push_back(digits);
  }
  std::string text;
  for (size_t i = 0; i < sizes.size(); ++i) {
    text += "S" + std::to_string(i) + ":r;:" + sizes[i] + ";:1\r\n";
  }
  text += "Last:r;:42;:1";  // fewer than eight bytes from the size field on
  RomDatabase db;
  EXPECT_EQ(Parse(text, &db), "");
  ASSERT_EQ(db.GetRomCount(), sizes.size() + 1);
  for (size_t i = 0; i < sizes.size(); ++i) {
    const std::string field = sizes[i].substr(0, sizes[i].find(':'));
    EXPECT_EQ(db.GetRom(static_cast<uint32_t>(i)).size, static_cast<uint32_t>(StrToInt(field)))
        << "size field " << field;
  }
  EXPECT_EQ(db.GetRom(static_cast<uint32_t>(sizes.size())).size, 42u);
}

// A file read in two halves, the second starting right after a line that spans the middle: its
// first sets take the system the first half ended with, bytes like a byte-order mark at its
// start are a name's, and its refusals carry the whole file's line numbers.
TEST(DatafileLoaderTest, TwoHalvesJoinAsOnePass) {
  std::string first = "\xEF\xBB\xBF#console#;First\r\nA.bin;1;1\r\n#console#;Carried\r\n";
  const std::string second =
      "\xEF\xBB\xBF"
      "Bom.bin;2;2\r\nAfter:x.bin:y.bin;:3:3;:3:4\r\nShort:a:b;:1;:1\r\n"
      "#console#;Later\r\n" +
      std::string(200, 'n') + ".bin;4;4\r\nLast.bin;5;5";
  // One line long enough to hold the middle of the file.
  first += "Long.bin;6;6;" + std::string(second.size() + first.size() + 10, 'u') + "\r\n";
  RomDatabase db;
  EXPECT_EQ(Parse(first + second, &db),
            " ! Line 7 skipped: missing fields\r\n ! Line 9 skipped: text too long\r\n");
  EXPECT_EQ(Describe(db),
            "[A.zip A.bin@First=1/00000001][Long.zip Long.bin@Carried=6/00000006]"
            "[\xEF\xBB\xBF"
            "Bom.zip \xEF\xBB\xBF"
            "Bom.bin@Carried=2/00000002]"
            "[After.zip x.bin@Carried=3/00000003 y.bin@Carried=3/00000004]"
            "[Last.zip Last.bin@Later=5/00000005]");
}

TEST(DatafileLoaderTest, LinesAndFieldsAsTheFormatReadsThem) {
  RomDatabase db;
  Parse(
      "Before.bin;1;1\r\n"
      "#console#;\r\n"  // empty system
      "Empty.bin;1;2\r\n"
      "#console#\r\n"    // no ';': ignored
      "#CONSOLE#;X\r\n"  // case matters: a two-group line, ignored
      " #console#;X\r\n"
      "#console#:extra;Sys:more;ignored\r\n"
      "Solo.bin;1024;ABCD\r\n"
      "Pair:a.bin:b.bin;x:10:20;y:0A:0B;extra\r\n"
      "T:a.bin:;x:5:;y:1F:\r\n"
      "Set : a.bin;x:1;y:2\r\n"
      "Two;groups\r\n",
      &db);
  EXPECT_EQ(Describe(db),
            "[Before.zip Before.bin@Unknown=1/00000001]"
            "[Empty.zip Empty.bin@=1/00000002]"
            "[Solo.zip Solo.bin@Sys=1024/0000ABCD]"
            "[Pair.zip a.bin@Sys=10/0000000A b.bin@Sys=20/0000000B]"
            "[T.zip a.bin@Sys=5/0000001F @Sys=0/00000000]"
            "[Set .zip  a.bin@Sys=1/00000002]");
}

TEST(DatafileLoaderTest, LinesBeyondACapacityAreRefusedWhole) {
  RomDatabase db;
  std::string many = "Many";
  std::string sizes = "", crcs = "";
  for (int i = 0; i < 129; ++i) {
    many += ":r" + std::to_string(i);
    sizes += ":1";
    crcs += ":1";
  }
  std::string long_name(128, 'n');
  std::string log = Parse(
      "#console#;Sys\r\n"
      "Keep.bin;1;1\r\n" +
          many + ";" + sizes + ";" + crcs + "\r\n" +       // line 3
          "Short:a.bin:b.bin;:1;:1:2\r\n" +                // line 4
          long_name + ".bin;1;1\r\n" +                     // line 5: ROM name
          "S:" + long_name + ";:1;:1\r\n" +                // line 6
          "F.bin;" + std::string(260, '1') + ";1\r\n" +    // line 7: field
          "#console#;" + std::string(128, 's') + "\r\n" +  // line 8
          "After.bin;2;2\r\n" +
          // Unused groups and fields may be as long as they like.
          "Wide.bin;3;3;" + std::string(5000, 'x') + ":" + std::string(300, 'y') + "\r\n",
      &db);
  EXPECT_EQ(log,
            " ! Line 3 skipped: too many roms\r\n"
            " ! Line 4 skipped: missing fields\r\n"
            " ! Line 5 skipped: text too long\r\n"
            " ! Line 6 skipped: text too long\r\n"
            " ! Line 7 skipped: text too long\r\n"
            " ! Line 8 skipped: text too long\r\n");
  EXPECT_EQ(Describe(db),
            "[Keep.zip Keep.bin@Sys=1/00000001][After.zip After.bin@Sys=2/00000002]"
            "[Wide.zip Wide.bin@Sys=3/00000003]");
}

TEST(DatafileLoaderTest, FullTablesRefuseLinesAndKeepWhatIsLoaded) {
  RomDatabase db;
  std::string text;
  for (uint32_t i = 0; i < kMaxSets; ++i) {
    text += "S" + std::to_string(i) + ":a:b;:1:1;:1:1\r\n";
  }
  text += "Over.bin;1;1\r\n";
  std::string log = Parse(text, &db);
  EXPECT_EQ(db.GetRomCount(), kMaxRoms);
  EXPECT_EQ(db.GetSetCount(), kMaxSets);
  EXPECT_EQ(log, " ! Line 65537 skipped: rom table full\r\n");
  EXPECT_EQ(db.GetSet(kMaxSets - 1).display_name, "S65535.zip");
  EXPECT_EQ(db.GetRom(kMaxRoms - 1).set_index, static_cast<int32_t>(kMaxSets - 1));
}

}  // namespace
}  // namespace cartidex

namespace cartidex {
namespace {

#ifndef _WIN32
// A program folder so deep that a datafile's path no longer fits the platform: the file is named
// in the log and skipped, never read through a cut path.
TEST(DatafileLoaderTest, ADatafileWhosePathIsTooLongIsSkipped) {
  namespace fs = std::filesystem;
  test::TempDir root;
  const fs::path start = fs::current_path();
  fs::current_path(root.path());
  std::string home = root.path();
  const std::string part(200, 'd');
  std::vector<std::string> made;
  while (home.size() + 1 + part.size() < 4040) {
    fs::create_directory(part);
    fs::current_path(part);
    home += "/" + part;
    made.push_back(fs::current_path().string());
  }
  while (home.size() < 4040) {
    const std::string last(4040 - home.size() - 1, 'e');
    fs::create_directory(last);
    fs::current_path(last);
    home += "/" + last;
    made.push_back(fs::current_path().string());
  }
  fs::create_directory("datfiles");
  fs::current_path("datfiles");
  const std::string name = std::string(100, 'n') + ".cxi";
  { std::ofstream(name, std::ios::binary) << "Deep.bin;1;1\r\n"; }
  std::ofstream("short.cxi", std::ios::binary) << "Short.bin;2;2\r\n";
  fs::current_path(start);

  SetProgramFolder(home);
  Database().Clear();
  LoadDatafiles();
  EXPECT_EQ(Database().GetSetCount(), 1u);
  std::string log;
  EXPECT_TRUE(ReadWholeFile(Env::Default(), home + "/log.txt", &log).ok());
  EXPECT_EQ(log, "Loading datafiles :\r\n - " + name + "\r\n ! Path too long\r\n - short.cxi\r\n");

  // Take the tree down from the bottom: its full paths are too long for most calls.
  CloseLog();
  SetProgramFolder("");
  Database().Clear();
  fs::current_path(home);
  fs::remove_all("datfiles");
  fs::remove("log.txt");
  for (size_t i = made.size(); i-- > 0;) {
    fs::current_path("..");
    fs::remove(fs::path(made[i]).filename());
  }
  fs::current_path(start);
}
#endif

}  // namespace
}  // namespace cartidex
