// Datafiles from anywhere: huge lines, binary garbage, names that are not text, oversized sets
// and more sets than the table holds. Each is loaded the way start-up loads it, and must leave a
// database that holds exactly the lines that fit, with every refusal named in the log.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>

#include "platform/activity_log.h"
#include "romdb/database_describe.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

using test::TestHome;

constexpr size_t kTenMegabytes = 10u << 20;

// Loads the datafiles of `home` and returns the log's lines after "Loading datafiles :".
std::string LoadAll(const TestHome& home) {
  LoadDatafiles();
  std::string log = home.Log();
  const std::string head = "Loading datafiles :\r\n";
  EXPECT_TRUE(log.starts_with(head)) << log.substr(0, 200);
  return log.substr(head.size());
}

// True when every ROM points back at the set and slot that hold it.
bool Consistent(const RomDatabase& db) {
  uint32_t held = 0;
  for (uint32_t s = 0; s < db.GetSetCount(); ++s) {
    const SetRecord& set = db.GetSet(s);
    for (int32_t slot = 0; slot < set.rom_count(); ++slot) {
      RomRecord rom = db.GetRom(static_cast<uint32_t>(set.rom_indices[slot]));
      if (rom.set_index != static_cast<int32_t>(s) || rom.slot != slot) return false;
      if (rom.name.size() > kMaxText || rom.system.size() > kMaxText) return false;
    }
    held += static_cast<uint32_t>(set.rom_count());
  }
  return held == db.GetRomCount();
}

bool Finds(uint32_t crc, uint32_t size, std::string* name = nullptr) {
  bool found = false;
  uint32_t index = 0;
  RomRecord rom = Database().FindRom(crc, size, &found, &index);
  if (name != nullptr) *name = rom.name;
  return found;
}

TEST(HostileDatafileTest, TenMegabyteLinesAreRefusedOrSkippedAndTheRestLoads) {
  TestHome home;
  const std::string huge(kTenMegabytes, 'n');
  home.AddDatafile("huge.cxi",
                   "#console#;Sys\r\n"                                                  // 1
                   "Keep.bin;1;1\r\n"                                                   // 2
                       + huge + ".bin;1;1\r\n"                                          // 3
                       + huge + "\r\n"                                                  // 4
                       + "Colons" + std::string(kTenMegabytes, ':') + ";1;1\r\n"        // 5
                       + "#console#;" + huge + "\r\n"                                   // 6
                       + "Size.bin;" + std::string(kTenMegabytes, '9') + ";1\r\n"       // 7
                       + "Semis" + std::string(kTenMegabytes, ';') + "\r\n"             // 8
                       + "Wide.bin;2;2;" + huge + "\r\n"                                // 9
                       + "P:a.bin;" + huge + ":5;" + std::string(kTenMegabytes, 'c') +  // 10
                       ":6\r\n"                                                         //
                       + "After.bin;3;3\r\n");                                          // 11
  EXPECT_EQ(LoadAll(home),
            " - huge.cxi\r\n"
            " ! Line 3 skipped: text too long\r\n"
            " ! Line 5 skipped: too many roms\r\n"
            " ! Line 6 skipped: text too long\r\n"
            " ! Line 7 skipped: text too long\r\n");
  // A refused system line leaves the current system as it was; unread groups and fields (the
  // fourth group, field 0 of the sizes and CRC-32s of a set with named ROMs) may be any length.
  EXPECT_EQ(Describe(Database()),
            "[Keep.zip Keep.bin@Sys=1/00000001]"
            "[Semis.zip Semis@Sys=0/00000000]"
            "[Wide.zip Wide.bin@Sys=2/00000002]"
            "[P.zip a.bin@Sys=5/00000006]"
            "[After.zip After.bin@Sys=3/00000003]");
}

// Bytes from a fixed generator, so that every run sees the same garbage.
std::string Garbage(size_t size, uint32_t seed, std::string_view banned) {
  std::mt19937 gen(seed);
  std::string out;
  out.reserve(size);
  while (out.size() < size) {
    char c = static_cast<char>(gen() & 0xFF);
    if (banned.find(c) == std::string_view::npos) out.push_back(c);
  }
  return out;
}

TEST(HostileDatafileTest, BinaryGarbageAddsNothingOfItsOwnAndSpoilsNoValidLine) {
  TestHome home;
  // Garbage without a ';' or a line end: every block is one line of one group, skipped silently.
  std::string text = "#console#;Sys\r\n";
  for (uint32_t i = 0; i < 16; ++i) {
    text += Garbage(64 << 10, i, std::string_view("\0;\r\n", 4)) + "\r\n";
    text += "Valid" + std::to_string(i) + ".bin;" + std::to_string(i + 1) + ";" +
            std::to_string(i + 1) + "\r\n";
  }
  home.AddDatafile("a.cxi", text);
  // Any byte but NUL: garbage sets may be added or refused, but the database stays whole and the
  // lines after the garbage load as written, under their system.
  home.AddDatafile("b.cxi", Garbage(1 << 20, 99, std::string_view("\0", 1)) +
                                "\r\n#console#;Tail\r\nTail.bin;7;ABC\r\n");
  // A NUL where a line begins ends the file: a zip renamed to .cxi loads nothing.
  home.AddDatafile("c.cxi",
                   std::string("PK\x03\x04\x14\x00\x00\x00\x08\x00Zip.bin;99;F00D\r\n", 27));
  std::string log = LoadAll(home);

  EXPECT_TRUE(Consistent(Database()));
  std::string want_a;
  for (uint32_t i = 0; i < 16; ++i) {
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, "%u/%08u", i + 1, i + 1);  // "16" reads as 0x16
    want_a += "[Valid" + std::to_string(i) + ".zip Valid" + std::to_string(i) +
              ".bin@Sys=" + numbers + "]";
  }
  EXPECT_TRUE(Describe(Database()).starts_with(want_a));
  EXPECT_TRUE(Describe(Database()).ends_with("[Tail.zip Tail.bin@Tail=7/00000ABC]"));
  std::string name;
  EXPECT_FALSE(Finds(0xF00D, 99));
  EXPECT_TRUE(Finds(0xABC, 7, &name));
  EXPECT_EQ(name, "Tail.bin");

  // The log names the three files; b.cxi may add refusal lines, each well formed.
  ASSERT_TRUE(log.starts_with(" - a.cxi\r\n - b.cxi\r\n")) << log.substr(0, 200);
  ASSERT_TRUE(log.ends_with(" - c.cxi\r\n"));
  std::string refusals = log.substr(20, log.size() - 20 - 10);
  size_t lines = 0;
  for (size_t p = 0; p < refusals.size(); ++lines) {
    size_t end = refusals.find("\r\n", p);
    ASSERT_NE(end, std::string::npos);
    std::string line = refusals.substr(p, end - p);
    EXPECT_TRUE(line.starts_with(" ! Line ") && line.find(" skipped: ") != std::string::npos)
        << line;
    p = end + 2;
  }
  // The fixed garbage holds lines that are refused (a name too long, too many ROMs, ...).
  EXPECT_GT(lines, 0u);
}

TEST(HostileDatafileTest, AUtf16DatafileLoadsNothing) {
  TestHome home;
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string_view("#console#;Sys\r\nA.bin;1;1\r\n")) {
    utf16.push_back(c);
    utf16.push_back('\0');
  }
  home.AddDatafile("wide.cxi", utf16);
  EXPECT_EQ(LoadAll(home), " - wide.cxi\r\n");
  EXPECT_EQ(Database().GetSetCount(), 0u);
  EXPECT_EQ(Database().GetRomCount(), 0u);
}

TEST(HostileDatafileTest, NamesOfAnyBytesAreKeptByteForByte) {
  TestHome home;
  // Limits count bytes, not characters, and a cut may fall inside a character.
  auto kana = [](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "\xE3\x81\x82";
    return s;
  };
  home.AddDatafile("bytes.cxi",
                   "#console#;M\xC3\xA9ga \xFF\xFE\r\n"                                     // 1
                   "Caf\xE9 (\xC0\xAF).bin;1;1\r\n"                                         // 2
                   "\x80\x81\xF4\x90\x80\x80.\xFF\xFE;2;2\r\n"                              // 3
                   "Set\xE3\x81\x82:\t\x01\x7F.bin:../up.bin:a\\b/c.bin;:3:4:5;:3:4:5\r\n"  // 4
                       + kana(41) + ";6;6\r\n"             // 5: the set name takes 127 bytes
                       + kana(41) + "\xE3;7;7\r\n"         // 6: and here 128
                       + "K:" + kana(42) + "x;:8;:8\r\n"   // 7: a ROM name of 127 bytes
                       + "L:" + kana(42) + "xy;:9;:9\r\n"  // 8: and of 128
                       + "\xEF\xBB\xBFmid-file mark.bin;10;10\r\n");  // 9
  EXPECT_EQ(LoadAll(home),
            " - bytes.cxi\r\n"
            " ! Line 6 skipped: text too long\r\n"
            " ! Line 8 skipped: text too long\r\n");
  const std::string sys = "@M\xC3\xA9ga \xFF\xFE=";
  EXPECT_EQ(
      Describe(Database()),
      "[Caf\xE9 (\xC0\xAF).zip Caf\xE9 (\xC0\xAF).bin" + sys + "1/00000001]" +
          "[\x80\x81\xF4\x90\x80\x80.zip \x80\x81\xF4\x90\x80\x80.\xFF\xFE" + sys + "2/00000002]" +
          "[Set\xE3\x81\x82.zip \t\x01\x7F.bin" + sys + "3/00000003 ../up.bin" + sys +
          "4/00000004 a\\b/c.bin" + sys + "5/00000005]" + "[" + kana(41) + ".zip " + kana(41) +
          sys + "6/00000006]" + "[K.zip " + kana(42) + "x" + sys + "8/00000008]" +
          "[\xEF\xBB\xBFmid-file mark.zip \xEF\xBB\xBFmid-file mark.bin" + sys + "10/00000010]");
  std::string name;
  ASSERT_TRUE(Finds(2, 2, &name));
  EXPECT_EQ(name, "\x80\x81\xF4\x90\x80\x80.\xFF\xFE");
  EXPECT_FALSE(Finds(7, 7));
  EXPECT_FALSE(Finds(9, 9));
}

// A set line of `count` ROMs named rI, with sizes and CRC-32s given for `given` of them.
std::string SetLine(const std::string& name, int count, int given, int value) {
  std::string names = name, sizes, crcs;
  for (int i = 0; i < count; ++i) names += ":r" + std::to_string(i);
  for (int i = 0; i < given; ++i) {
    sizes += ":" + std::to_string(value);
    crcs += ":" + std::to_string(value);
  }
  return names + ";" + sizes + ";" + crcs + "\r\n";
}

TEST(HostileDatafileTest, SetsOverOneHundredTwentyEightRomsAreRefusedWhole) {
  TestHome home;
  home.AddDatafile("big.cxi", "Before.bin;1;1\r\n" +                     // 1
                                  SetLine("Two hundred", 200, 200, 2) +  // 2
                                  SetLine("Short", 200, 3, 3) +          // 3: too many first
                                  SetLine("Most", 128, 128, 4) +         // 4
                                  SetLine("One over", 129, 129, 5) +     // 5
                                  "After.bin;6;6\r\n");                  // 6
  EXPECT_EQ(LoadAll(home),
            " - big.cxi\r\n"
            " ! Line 2 skipped: too many roms\r\n"
            " ! Line 3 skipped: too many roms\r\n"
            " ! Line 5 skipped: too many roms\r\n");
  const RomDatabase& db = Database();
  ASSERT_EQ(db.GetSetCount(), 3u);
  EXPECT_EQ(db.GetRomCount(), 1u + 128u + 1u);
  const SetRecord& most = db.GetSet(1);
  EXPECT_EQ(most.display_name, "Most.zip");
  ASSERT_EQ(most.rom_count(), 128);
  EXPECT_EQ(db.RomName(static_cast<uint32_t>(most.rom_indices[127])), "r127");
  EXPECT_EQ(db.GetSet(2).display_name, "After.zip");
  EXPECT_EQ(db.GetSet(2).rom_indices[0], 129);
  EXPECT_TRUE(Consistent(db));
  EXPECT_FALSE(Finds(0x2, 2));
  EXPECT_FALSE(Finds(0x5, 5));
}

TEST(HostileDatafileTest, SeventyThousandSetsFillTheTableAndTheRestAreNamed) {
  TestHome home;
  // a.cxi: 40,000 sets, each under a system of its own; b.cxi: 30,000 more under one system.
  std::string a, b;
  for (int i = 0; i < 40000; ++i) {
    a += "#console#;System " + std::to_string(i) + "\r\nA" + std::to_string(i) + ".bin;1;" +
         std::to_string(i) + "\r\n";
  }
  b = "#console#;B\r\n";
  for (int i = 0; i < 30000; ++i)
    b += "B" + std::to_string(i) + ".bin;2;" + std::to_string(i) + "\r\n";
  home.AddDatafile("a.cxi", a);
  home.AddDatafile("b.cxi", b);

  std::string want = " - a.cxi\r\n - b.cxi\r\n";
  // b.cxi's set i is on line i + 2; sets 25536 and later find the table full.
  for (int i = 25536; i < 30000; ++i) {
    want += " ! Line " + std::to_string(i + 2) + " skipped: set table full\r\n";
  }
  EXPECT_EQ(LoadAll(home), want);

  const RomDatabase& db = Database();
  EXPECT_EQ(db.GetSetCount(), kMaxSets);
  EXPECT_EQ(db.GetRomCount(), kMaxSets);
  EXPECT_EQ(db.GetSet(39999).display_name, "A39999.zip");
  EXPECT_EQ(db.GetRom(39999).system, "System 39999");
  EXPECT_EQ(db.GetRom(12345).system, "System 12345");
  EXPECT_EQ(db.GetSet(kMaxSets - 1).display_name, "B25535.zip");
  EXPECT_EQ(db.GetRom(kMaxSets - 1).system, "B");
  EXPECT_TRUE(Consistent(db));
  std::string name;
  EXPECT_TRUE(Finds(0x25535, 2, &name));
  EXPECT_EQ(name, "B25535.bin");
  EXPECT_FALSE(Finds(0x25536, 2));

  // A reload starts from empty tables and comes to the same end.
  DeleteLog();
  EXPECT_EQ(LoadAll(home), want);
  EXPECT_EQ(db.GetSetCount(), kMaxSets);
  EXPECT_EQ(db.GetRom(39999).system, "System 39999");
}

TEST(HostileDatafileTest, DatafilesThatAreNoFilesAreSkippedByName) {
  TestHome home;
  home.AddDatafile("a.cxi", "A.bin;1;1\r\n");
  test::MakeDirs(home.Path("datfiles/folder.cxi"));
#ifndef _WIN32
  ASSERT_EQ(::symlink("loop.cxi", home.Path("datfiles/loop.cxi").c_str()), 0);
  ASSERT_EQ(::mkfifo(home.Path("datfiles/pipe.cxi").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("nowhere", home.Path("datfiles/dangling.cxi").c_str()), 0);
#endif
  home.AddDatafile("z.cxi", "Z.bin;2;2\r\n");
#ifndef _WIN32
  EXPECT_EQ(LoadAll(home),
            " - a.cxi\r\n - dangling.cxi\r\n - folder.cxi\r\n - loop.cxi\r\n - pipe.cxi\r\n"
            " - z.cxi\r\n");
#else
  // Links and pipes are POSIX matters; a folder with a datafile's name is the case here.
  EXPECT_EQ(LoadAll(home), " - a.cxi\r\n - folder.cxi\r\n - z.cxi\r\n");
#endif
  EXPECT_EQ(Describe(Database()),
            "[A.zip A.bin@Unknown=1/00000001][Z.zip Z.bin@Unknown=2/00000002]");
}

}  // namespace
}  // namespace cartidex
