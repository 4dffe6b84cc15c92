// Sets kept in 7z archives, made at test time with the 7z program: identified, renamed and listed
// exactly as zip archives are; hostile archives fail and leave nothing outside `tmp`, and `tmp`
// is empty after the run.
#ifndef _WIN32
#include <cstring>

#include "e2e/cli_fixture.h"

namespace cartidex::test {
namespace {

const std::string kA = "contents of a";
const std::string kB = "bee";
const std::string kC = std::string(70000, 'c');
const std::string kD = std::string(1000, 'd');

class SevenZipTest : public CliTest {
 protected:
  SevenZipTest() {
    WriteFile(home.Path("datfiles/sets.cxi"),
              "#console#;Game Console\r\n" +
                  SetLine("Trio.zip", {{"a.rom", kA}, {"b.rom", kB}, {"c.rom", kC}}) +
                  SetLine("Never.zip", {{"d.rom", kD}}));
  }
  // The bytes of a 7z archive of `members` (name, contents; a contents starting "->" makes a
  // link to the rest), made by the 7z program with `options`; written to work/NAME too.
  std::string Make(const std::string& name, const std::vector<std::string>& options,
                   const std::vector<std::pair<std::string, std::string>>& members) {
    const std::string in = work.Path("in-" + name);
    Lines args = {"a", "-bd", "-bso0", "-bsp0", "-snl"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(work.Path(name));
    for (const auto& [member, contents] : members) {
      if (contents.starts_with("->")) {
        MakeDirs(in);
        EXPECT_EQ(RunCli("ln", {"-s", contents.substr(2), member}, in).status, 0);
      } else {
        WriteFile(in + "/" + member, contents);
      }
      args.push_back(member);
    }
    CliRun made = RunCli("7z", args, in);
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(RunCli("rm", {"-r", in}, work.path()).status, 0);
    return ReadFile(work.Path(name));
  }
};

// `bytes` (a 7z archive with a plain header) with `from` replaced by `to` in its header, the
// header's size and checksums made right again.
std::string Patch(std::string bytes, const std::string& from, const std::string& to) {
  auto get = [&](size_t at, int n) {
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
    return v;
  };
  auto put = [&](size_t at, int n, uint64_t v) {
    for (int i = 0; i < n; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
  };
  const size_t header = 32 + get(12, 8);
  const size_t at = bytes.find(from, header);
  EXPECT_NE(at, std::string::npos);
  if (at == std::string::npos) return bytes;
  bytes.replace(at, from.size(), to);
  put(20, 8, bytes.size() - header);
  put(28, 4, Crc32(std::string_view(bytes).substr(header)));
  put(8, 4, Crc32(std::string_view(bytes).substr(12, 20)));
  return bytes;
}

std::string Utf16(const std::string& text) {
  std::string wide;
  for (char c : text) wide += std::string{c, '\0'};
  return wide;
}

TEST_F(SevenZipTest, SetsAreFoundRenamedKeepingTheirExtensionAndListed) {
  const Lines solid = {"-ms=on"}, loose = {"-ms=off"};
  const std::vector<std::pair<std::string, std::string>> trio = {
      {"c.rom", kC}, {"a.rom", kA}, {"b.rom", kB}, {"\xC3\xA9x.txt", "extra"}};
  Make("s/solid.7z", solid, trio);
  Make("p/loose.7z", loose, trio);
  const std::string short_of_one = Make("short.7z", solid, {{"a.rom", kA}, {"b.rom", kB}});
  Make("hole.7z", loose, {{"a.rom", kA}, {"b-empty.rom", ""}, {"c.rom", kC}});
  CliRun run =
      Cli({"--rename", "single", work.Path("s/solid.7z"), "single", work.Path("p/loose.7z"),
           "single", work.Path("short.7z"), "single", work.Path("hole.7z"), "generate", "lists"});

  auto unzipped = [&](const std::string& name) {
    return "File unzipped: " + work.Path(name) + "\r\n Containing:\r\n";
  };
  auto found = [&](const std::string& name) {
    return unzipped(name) + Member("a.rom", kA, true) + Member("b.rom", kB, true) +
           Member("c.rom", kC, true) + Member("\xC3\xA9x.txt", "extra", false) +
           " Found set: Trio.zip\r\n\r\nRenamed: " + work.Path(name) +
           " To: " + work.Path(name.substr(0, 2) + "Trio.7z") + "\r\n";
  };
  EXPECT_EQ(run.log, StartLog({"sets.cxi"}) + found("s/solid.7z") + found("p/loose.7z") +
                         unzipped("short.7z") + Member("a.rom", kA, true) +
                         Member("b.rom", kB, true) + " No set found\r\n\r\n" + unzipped("hole.7z") +
                         Member("a.rom", kA, true) + "  - " + kQuitted);
  const std::string trio_fields =
      Fields(2, "Trio.7z", "Trio.zip", "Game Console", "Zipfile", "Zipfile");
  EXPECT_NE(run.out.find(trio_fields + trio_fields +
                         Fields(2, "short.7z", "Unknown", "Unknown", "Zipfile", "Zipfile") +
                         Fields(2, "Error", "Error", "Error", "Error", "Error")),
            std::string::npos)
      << run.out;
  EXPECT_EQ(ListTree(work.path()),
            (Lines{"hole.7z", "lists/Game Console_have.txt", "lists/Game Console_miss.txt",
                   "p/Trio.7z", "s/Trio.7z", "short.7z"}));
  EXPECT_EQ(ReadFile(work.Path("short.7z")), short_of_one);
  EXPECT_EQ(ReadFile(work.Path("lists/Game Console_have.txt")),
            "Owning Game Console sets:\r\n\r\nTrio\r\n");
  EXPECT_EQ(ReadFile(work.Path("lists/Game Console_miss.txt")),
            "Missing Game Console sets:\r\n\r\nNever\r\n");
  EXPECT_EQ(ListTree(home.Path("tmp")), Lines{});
}

TEST_F(SevenZipTest, HostileArchivesFailAndWriteNothingOutsideTmp) {
  const Lines plain_header = {"-ms=off", "-mhc=off"};
  const std::string d = Make("d.7z", plain_header, {{"d.rom", kD}});
  const std::string two = Make("two.7z", {"-ms=on"}, {{"a.rom", kA}, {"c.rom", kC}});
  std::string corrupt = two;
  for (size_t i = 40; i < 60; ++i) corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5A);
  struct Case {
    std::string name, bytes;
    bool extracts;  // "Cannot extract: " when true, else "No file in: "
  };
  const std::vector<Case> cases = {
      {"cut.7z", two.substr(0, two.size() - 40), false},
      {"corrupt.7z", corrupt, true},
      {"locked.7z", Make("l.7z", {"-psecret"}, {{"a.rom", kA}}), true},
      {"sealed.7z", Make("h.7z", {"-psecret", "-mhe=on"}, {{"a.rom", kA}}), false},
      {"link.7z", Make("k.7z", {}, {{"a.rom", kA}, {"ln.rom", "->/etc/passwd"}}), true},
      // 5 GiB declared where 1000 bytes stand.
      {"huge.7z", Patch(d, "\x0C\x83\xE8", std::string("\x0C\xF1\0\0\0\x40", 6)), true},
      {"fake.7z", "7z\xBC\xAF\x27\x1C" + std::string(64, '\x01'), false},
      // Found by the fuzzer: a header whose numbers ask the library for petabytes of memory.
      {"asks.7z", ReadFile(CARTIDEX_TEST_DATA "/oversized-header.7z"), false},
  };
  Lines args;
  std::string log = StartLog({"sets.cxi"});
  for (const Case& c : cases) {
    WriteFile(work.Path("h/" + c.name), c.bytes);
    args.insert(args.end(), {"single", work.Path("h/" + c.name)});
    log += (c.extracts ? "Cannot extract: " : "No file in: ") + work.Path("h/" + c.name) +
           (c.extracts ? "\r\n" : "\r\n\r\n");
  }
  // Names that climb out land flat in `tmp`, as a zip's do.
  const std::string climb = Make("c.7z", plain_header, {{"zz_d.rom", kD}, {"zzzzzz", "x"}});
  WriteFile(work.Path("h/climb.7z"), Patch(Patch(climb, Utf16("zz_d.rom"), Utf16("../d.rom")),
                                           Utf16("zzzzzz"), Utf16("/x.bin")));
  args.insert(args.end(), {"single", work.Path("h/climb.7z")});
  log += "File unzipped: " + work.Path("h/climb.7z") + "\r\n Containing:\r\n" +
         Member("d.rom", kD, true) + Member("x.bin", "x", false) + " Found set: Never.zip\r\n\r\n";
  EXPECT_EQ(Cli(args).log, log + kQuitted);
  EXPECT_EQ(ListTree(home.path()), (Lines{"datfiles/sets.cxi"}));
  EXPECT_FALSE(Exists("/x.bin"));
}

}  // namespace
}  // namespace cartidex::test

#endif  // !_WIN32: the archives are made by the 7z program of the Linux side.
