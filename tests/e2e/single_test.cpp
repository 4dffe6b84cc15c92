// cartidex-cli single: files and archives identified one after another in one run, judged by the
// fields after each, the log and `tmp` at exit. Each archive's listing holds its own members only:
// the one before it left nothing in `tmp`.
#include "e2e/cli_fixture.h"

namespace cartidex::test {
namespace {

const std::string kA = "contents of a", kB = "bee", kSolo = "a solo rom", kTool = "a tool";
const std::string kC = std::string(70000, 'c');  // several copy buffers

// One command: the file it names, its contents, the fields after it, its log lines.
struct Step {
  std::string name, contents, fields, log;
};

using CliSingleTest = CliTest;

TEST_F(CliSingleTest, FilesAndArchivesOneAfterAnother) {
  WriteFile(home.Path("datfiles/Example.cxi"),
            "#console#;Game Console\r\n" +
                SetLine("Trio.zip", {{"a.rom", kA}, {"b.rom", kB}, {"c.rom", kC}}) +
                RomLine("Solo.bin", kSolo) + "#console#;Computer\r\n" + RomLine("Tool.bin", kTool));
  auto unzipped = [&](const std::string& name) {
    return "File unzipped: " + work.Path(name) + "\r\n Containing:\r\n";
  };
  const std::string error = Fields(3, "Error", "Error", "Error", "Error", "Error");
  const std::vector<Step> steps = {
      // The set shows its own system, not that of the tool met last.
      {"my trio.zip",
       MakeZip({ZipMember("roms/c.rom", kC, 8), ZipMember("roms/", ""), ZipMember("a.rom", kA),
                ZipMember("b.rom", kB, 8), ZipMember(".meta", "not a rom"),
                ZipMember("tool.rom", kTool)}),
       Fields(3, "my trio.zip", "Trio.zip", "Game Console", "Zipfile", "Zipfile"),
       unzipped("my trio.zip") + Member("a.rom", kA, true) + Member("b.rom", kB, true) +
           Member("c.rom", kC, true) + Member("tool.rom", kTool, true) +
           " Found set: Trio.zip\r\n\r\n"},
      {"solo.bin", kSolo,
       Fields(3, "solo.bin", "Solo.bin", "Game Console", Hex8(Crc32(kSolo)), "10"),
       OpenedLine(work.Path("solo.bin"), kSolo, true)},
      {"nothing.dat", "matches nothing",
       Fields(3, "nothing.dat", "Unknown", "Unknown", "00000000", ""),
       OpenedLine(work.Path("nothing.dat"), "matches nothing", false)},
      {"empty.bin", "", error, ""},
      {"hole.zip", StoredZip({{"a.rom", kA}, {"b-empty.rom", ""}, {"c.rom", kC}}), error,
       unzipped("hole.zip") + Member("a.rom", kA, true) + "  - "},
      {"next.zip", StoredZip({{"x.bin", "x"}}),
       Fields(3, "next.zip", "Unknown", "Unknown", "Zipfile", "Zipfile"),
       unzipped("next.zip") + Member("x.bin", "x", false) + " No set found\r\n\r\n"},
      {"mark.zip", MakeZip({ZipMember("m.rom", "tiny", 8).Declare(0xFFFFFFFFu)}), error,
       "Cannot extract: " + work.Path("mark.zip") + "\r\n"},
      {"empty.zip", MakeZip({}), Fields(3, "empty.zip", "Unknown", "Unknown", "00000000", ""),
       "No file in: " + work.Path("empty.zip") + "\r\n\r\n"},
  };
  Lines args;
  std::string out = Fields(3), log = StartLog({"Example.cxi"});
  for (const Step& step : steps) {
    WriteFile(work.Path(step.name), step.contents);
    args.insert(args.end(), {"single", work.Path(step.name)});
    out += step.fields;
    log += step.log;
  }
  CliRun run = Cli(args);
  EXPECT_EQ(run.out, out);
  EXPECT_EQ(run.log, log + kQuitted);
  EXPECT_EQ(ListTree(home.Path("tmp")), Lines{});
}

}  // namespace
}  // namespace cartidex::test
