// cartidex-cli single over files with copier headers and files that DATs describe by SHA-1 or MD5
// besides CRC-32 and size: the exact log line of each, the fields, and the bytes each leaves
// after its rename.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "identify/number_text.h"
#include "platform/hash.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

// The digest in hexadecimal digits, upper case as ClrMamePro DATs write it, or lower case.
std::string HexDigest(HashKind kind, const std::string& data, bool lower = false) {
  Hasher hasher(kind);
  Digest digest;
  EXPECT_TRUE(hasher.Update(data.data(), data.size()) && hasher.Finish(&digest));
  std::string text;
  for (uint8_t byte : digest.view()) text += FormatHex8(byte).substr(6);
  if (lower) std::transform(text.begin(), text.end(), text.begin(), ::tolower);
  return text;
}

std::string Padded(std::string start, size_t size) {
  start.resize(size, '\0');
  return start;
}

const std::string kNes = Padded(std::string("NES\x1A\x02\x01", 6), 16);
const std::string kFds = Padded(std::string("FDS\x1A\x01", 5), 16);
const std::string k7800 = Padded("\1ATARI7800", 128);
const std::string kLynx = Padded("LYNX", 64);

const std::string kNesBody = ForgeCrc(std::string(3000, 'n'), 0xC0FFEE01);
const std::string kFdsBody = ForgeCrc("disk side A", 0x8000FD5A);
const std::string k7800Body = ForgeCrc(std::string(200, '7'), 0x78007800);
const std::string kLynxBody = ForgeCrc(std::string(300, 'l'), 0xA7A71234);
// Pairs of one size and one CRC-32 whose digests differ.
const std::string kSha1Good = ForgeCrc("the dumped rom..", 0xCAFEBABE);
const std::string kSha1Bad = ForgeCrc("a forged copy...", 0xCAFEBABE);
const std::string kSha1Other = ForgeCrc("another dump....", 0xCAFEBABE);
const std::string kMd5Good = ForgeCrc("md5 listed data", 0x5EED0001);
const std::string kMd5Bad = ForgeCrc("md5 forged data", 0x5EED0001);

// A ROM of a ClrMamePro game, with its SHA-1 when `sha1` is set, and a game of such ROMs.
std::string Rom(const std::string& name, const std::string& data, bool sha1) {
  return " rom ( name \"" + name + "\" size " + std::to_string(data.size()) + " crc " +
         FormatHex8(Crc32(data)) + (sha1 ? " sha1 " + HexDigest(HashKind::kSha1, data) : "") + " )";
}
std::string Game(const std::string& name, const std::string& roms) {
  return "game ( name \"" + name + "\"" + roms + " )\n";
}

std::string Sums(const std::string& data) {
  return " Size: " + std::to_string(data.size()) + " CRC32: " + std::to_string(Crc32(data)) +
         " Found: ";
}

// One file given to `single`: its name and bytes, its log line after "Opened: PATH", the fields
// after it (Name, System, CRC32, Size) and the name a rename gives it ("" when unknown).
struct Case {
  std::string name, contents, line, fields, renamed;
};

TEST(CliHeaderHashTest, HeadersFirstByWholeContentsAndDigestsRefuseCollisions) {
  TempDir home, work;
  const std::string whole = kNes + "listed with its header";
  WriteFile(home.Path("datfiles/own.cxi"), "#console#;Own\r\nWhole.nes;" +
                                               std::to_string(whole.size()) + ";" +
                                               FormatHex8(Crc32(whole)) + "\r\n");
  WriteFile(home.Path("datfiles/carts.dat"),
            "clrmamepro ( name \"Carts\" )\n" +
                Game("Nes Game", Rom("Nes Game.nes", kNesBody, true)) +
                Game("Fds Game", Rom("Fds Game.fds", kFdsBody, false)) +
                Game("Collide", Rom("Collide.bin", kSha1Good, true)) +
                Game("Collide Too", Rom("Other.bin", kSha1Other, true)) +
                Game("Pair", Rom("p1.a78", k7800Body, true) + Rom("p2.lnx", kLynxBody, true)));
  WriteFile(home.Path("datfiles/md5.xml"),
            "<datafile><header><name>Md5 Only</name></header><game name=\"Md5 Game\"><rom "
            "name=\"Md5 Game.bin\" size=\"" +
                std::to_string(kMd5Good.size()) + "\" crc=\"" + FormatHex8(Crc32(kMd5Good)) +
                "\" md5=\"" + HexDigest(HashKind::kMd5, kMd5Good, true) + "\"/></game></datafile>");
  const std::string a78 = k7800 + k7800Body, lnx = kLynx + kLynxBody;
  const std::string member = home.Path("tmp/");
  const std::vector<Case> cases = {
      {"w.nes", whole, Sums(whole) + "I",
       "Whole.nes\nSystem: Own\nCRC32: " + FormatHex8(Crc32(whole)), "Whole.nes"},
      {"n.nes", kNes + kNesBody, Sums(kNes + kNesBody) + "No Header: 16" + Sums(kNesBody) + "I",
       "Nes Game.nes\nSystem: Carts\nCRC32: C0FFEE01\nSize: 3004", "Nes Game.nes"},
      {"f.fds", kFds + kFdsBody, Sums(kFds + kFdsBody) + "No Header: 16" + Sums(kFdsBody) + "I",
       "Fds Game.fds\nSystem: Carts\nCRC32: 8000FD5A\nSize: 15", "Fds Game.fds"},
      {"u.lnx", kLynx + "junk", Sums(kLynx + "junk") + "No Header: 64" + Sums("junk") + "No",
       "Unknown\nSystem: Unknown\nCRC32: 00000000\nSize: \n", ""},
      {"a.bin", kSha1Good, Sums(kSha1Good) + "I", "Collide.bin\nSystem: Carts", "Collide.bin"},
      {"b.bin", kSha1Bad, Sums(kSha1Bad) + "No (SHA-1 differs)", "Unknown\nSystem: Unknown", ""},
      {"c.bin", kMd5Good, Sums(kMd5Good) + "I", "Md5 Game.bin\nSystem: Md5 Only", "Md5 Game.bin"},
      {"d.bin", kMd5Bad, Sums(kMd5Bad) + "No (MD5 differs)", "Unknown\nSystem: Unknown", ""},
      {"set.zip", StoredZip({{"one.a78", a78}, {"two.lnx", lnx}}),
       "\r\n Containing:\r\n  - Opened: " + member + "one.a78" + Sums(a78) + "No Header: 128" +
           Sums(k7800Body) + "I\r\n  - Opened: " + member + "two.lnx" + Sums(lnx) +
           "No Header: 64" + Sums(kLynxBody) + "I\r\n Found set: Pair.zip\r\n",
       "Pair.zip\nSystem: Carts\nCRC32: Zipfile\nSize: Zipfile", "Pair.zip"},
  };
  std::vector<std::string> args = {"--home", home.path(), "--keep-log", work.Path("log.txt"),
                                   "--rename"};
  for (const Case& c : cases) {
    WriteFile(work.Path(c.name), c.contents);
    args.insert(args.end(), {"single", work.Path(c.name)});
  }
  args.insert(args.end(), {"--fixdat", "generate", work.Path("lists")});
  const CliRun run = RunCli(CARTIDEX_CLI, args, work.path());
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string log = ReadFile(work.Path("log.txt"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const bool zip = c.name.ends_with(".zip");
    const std::string line = (zip ? "File unzipped: " : "Opened: ") + work.Path(c.name) + c.line;
    EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << log;
    const std::string now = c.renamed.empty() ? c.name : c.renamed;
    EXPECT_NE(run.out.find("Filename: " + now + "\nName: " + c.fields), std::string::npos)
        << run.out;
    // Renames move names only: every byte stays, the header too.
    EXPECT_EQ(ReadFile(work.Path(now)), c.contents);
  }

  // The fixdats keep the digests: loaded alone, they refuse the same forged copies.
  TempDir again;
  for (const std::string dat : {"Carts_miss.dat", "Md5 Only_miss.dat"}) {
    WriteFile(again.Path("datfiles/" + dat), ReadFile(work.Path("lists/" + dat)));
  }
  args = {"--home", again.path(), "--keep-log", work.Path("again.txt")};
  const std::pair<std::string, std::string> kRefused[] = {
      {"Collide.bin", Sums(kSha1Good) + "I"},
      {"b.bin", Sums(kSha1Bad) + "No (SHA-1 differs)"},
      {"d.bin", Sums(kMd5Bad) + "No (MD5 differs)"}};
  for (const auto& [name, line] : kRefused) args.insert(args.end(), {"single", work.Path(name)});
  ASSERT_EQ(RunCli(CARTIDEX_CLI, args, work.path()).status, 0);
  const std::string again_log = ReadFile(work.Path("again.txt"));
  for (const auto& [name, line] : kRefused) {
    EXPECT_NE(again_log.find("Opened: " + work.Path(name) + line + "\r\n"), std::string::npos)
        << again_log;
  }
}

}  // namespace
}  // namespace cartidex::test
