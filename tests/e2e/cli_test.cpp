// cartidex-cli run as a user would: the whole log byte for byte, the fields, the trees after the
// renames and moves, the list files, the scratch folder, usage errors.
#include "app/help_text.h"
#include "e2e/cli_fixture.h"
#include "platform/path.h"

namespace cartidex::test {
namespace {

TEST_F(CliTest, LogOfAWholeRunTmpEmptiedAndNoLogLeft) {
  MakeDirs(home.Path("datfiles"));
  WriteFile(home.Path("tmp/left.bin"), "left by an earlier run");
  WriteFile(home.Path("tmp/.hidden"), "kept");
  WriteFile(home.Path("tmp/sub/inner.bin"), "kept");
  // A log.txt in the folder the program is started from is somebody else's file.
  WriteFile(work.Path("log.txt"), "not ours");
  CliRun run = Cli({"help", "reload"});
  EXPECT_EQ(run.out,
            Fields(0) + ReplaceAll(kHelpText, "\r\n", "\n") + "\n" + Fields(0) + Fields(0));
  EXPECT_EQ(run.log, StartLog({}) + "Loading datafiles :\r\n" + kQuitted);
  EXPECT_FALSE(Exists(home.Path("log.txt")));
  EXPECT_EQ(ReadFile(work.Path("log.txt")), "not ours");
  EXPECT_EQ(ListTree(home.Path("tmp")), (Lines{".hidden", "sub/inner.bin"}));
}

TEST_F(CliTest, BadUsageRunsNothing) {
  WriteFile(home.Path("log.txt"), "previous");
  WriteFile(work.Path("file"), "");
  const std::pair<Lines, std::string> kCases[] = {
      {{"frobnicate"}, "unknown word: frobnicate"},
      {{"reload", "single"}, "missing argument after single"},
      {{"--move-known"}, "missing argument after --move-known"},
      {{"single", ""}, "empty path after single"},
      {{"single", "."}, "not an existing file: " + work.Path(".")},
      {{"directory", "file"}, "not an existing folder: " + work.Path("file")}};
  for (const auto& [args, error] : kCases) {
    CliRun run = Cli(args, 2);
    EXPECT_EQ(run.out + run.log, "");
    EXPECT_TRUE(run.err.starts_with("cartidex-cli: " + error + "\n")) << run.err;
    EXPECT_EQ(ReadFile(home.Path("log.txt")), "previous");
  }
}

const std::string kA = "contents of a", kB = "bee", kSolo = "a solo rom", kTool = "a tool";
const std::string kC = std::string(70000, 'c');  // several copy buffers

// One command: the file it names, its contents, the fields after it, its log lines.
struct Step {
  std::string name, contents, fields, log;
};

TEST_F(CliTest, FilesAndArchivesOneAfterAnother) {
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

TEST_F(CliTest, IdentifiedTreeRenamedMovedAndListed) {
  // Sets before any system are the system "Unknown"; the runs of one system are gathered.
  WriteFile(home.Path("datfiles/0.cxi"), "Before Any (v1.0).bin;4;00000001\r\n");
  WriteFile(home.Path("datfiles/1.cxi"), kNestedGamesDatafile1);
  WriteFile(home.Path("datfiles/2.cxi"), kNestedGamesDatafile2);
  const std::string pack = StoredZip({{"sonic1.bin", kSonic1}, {"sonic2.bin", kSonic2}});
  // Half a set: an unknown archive, moved whole and not renamed.
  const std::string partial = StoredZip({{"sonic1.bin", kSonic1}});
  WriteFile(work.Path("in/dump.bin"), kTetris);
  WriteFile(work.Path("in/junk.txt"), "junk");
  WriteFile(work.Path("in/pack.zip"), pack);
  WriteFile(work.Path("in/partial.zip"), partial);
  WriteFile(work.Path("in/sub/zelda.bin"), kZelda);
  // A single file whose new name and target are taken: both files stay as they are.
  WriteFile(work.Path("one/dump.bin"), kTetris);
  WriteFile(work.Path("one/Tetris.gb"), "other");
  WriteFile(home.Path("sorted/Nintendo/Game Boy/dump.bin"), "in the way");
  WriteFile(work.Path("lists/Sega_have.txt"), "from an earlier run, much longer\r\n");

  CliRun run = Cli({"--rename", "--subdirs", "--move-known", NativePath("sorted/<system>"),
                    "--move-unknown", NativePath("unknown/<system>"), "directory", "in", "generate",
                    "lists", "single", NativePath("one/dump.bin")});
  const std::string in = work.Path("in/"), one = work.Path("one/");
  const std::string gb = NativePath("sorted/Nintendo/Game Boy/"),
                    unknown = NativePath("unknown/Unknown/");
  EXPECT_EQ(
      run.log,
      StartLog({"0.cxi", "1.cxi", "2.cxi"}) + OpenedLine(in + "dump.bin", kTetris, true) +
          "Renamed: " + in + "dump.bin To: " + in + "Tetris.gb\r\n Moved: " + in +
          "Tetris.gb To: " + gb + "Tetris.gb\r\n" + OpenedLine(in + "junk.txt", "junk", false) +
          " Moved: " + in + "junk.txt To: " + unknown + "junk.txt\r\nFile unzipped: " + in +
          "pack.zip\r\n Containing:\r\n" + Member("sonic1.bin", kSonic1, true) +
          Member("sonic2.bin", kSonic2, true) + " Found set: Sonic Pack.zip\r\n\r\nRenamed: " + in +
          "pack.zip To: " + in + "Sonic Pack.zip\r\n Moved: " + in + "Sonic Pack.zip To: " +
          NativePath("sorted/Sega/Sonic Pack.zip") + "\r\nFile unzipped: " + in +
          "partial.zip\r\n Containing:\r\n" + Member("sonic1.bin", kSonic1, true) +
          " No set found\r\n\r\n Moved: " + in + "partial.zip To: " + unknown + "partial.zip\r\n" +
          OpenedLine(in + NativePath("sub/zelda.bin"), kZelda, true) + "Renamed: " + in +
          NativePath("sub/zelda.bin To: ") + in + NativePath("sub/Zelda.gb") + "\r\n Moved: " + in +
          NativePath("sub/Zelda.gb To: ") + gb + "Zelda.gb\r\n" +
          OpenedLine(one + "dump.bin", kTetris, true) + "Rename failed: " + one +
          "dump.bin To: " + one + "Tetris.gb\r\n Move failed: " + one + "dump.bin To: " + gb +
          "dump.bin\r\n" + kQuitted);
  const std::string walked =
      Fields(5, "Several", "Several", "Nintendo\\Game Boy", "Several", "Several");
  EXPECT_EQ(run.out,
            Fields(5) + walked + walked +
                Fields(5, "dump.bin", "Tetris.gb", "Nintendo\\Game Boy", "11111111", "16"));
  EXPECT_EQ(Contents(home.Path("sorted")), (Files{{"Nintendo/Game Boy/Tetris.gb", kTetris},
                                                  {"Nintendo/Game Boy/Zelda.gb", kZelda},
                                                  {"Nintendo/Game Boy/dump.bin", "in the way"},
                                                  {"Sega/Sonic Pack.zip", pack}}));
  EXPECT_EQ(Contents(home.Path("unknown")),
            (Files{{"Unknown/junk.txt", "junk"}, {"Unknown/partial.zip", partial}}));
  EXPECT_EQ(ListTree(work.Path("in")), Lines{});
  EXPECT_EQ(Contents(work.Path("one")), (Files{{"Tetris.gb", "other"}, {"dump.bin", kTetris}}));
  EXPECT_EQ(Contents(work.Path("lists")),
            (Files{{"Nintendo_Game Boy_have.txt", "Owning Nintendo\\Game Boy sets:\r\n\r\n"},
                   {"Nintendo_Game Boy_miss.txt",
                    "Missing Nintendo\\Game Boy sets:\r\n\r\nTetris\r\nZelda\r\n"},
                   {"Sega_have.txt", "Owning Sega sets:\r\n\r\nSonic Pack\r\n"},
                   {"Sega_miss.txt", "Missing Sega sets:\r\n\r\nColumns\r\n"},
                   {"Unknown_have.txt", "Owning Unknown sets:\r\n\r\n"},
                   {"Unknown_miss.txt", "Missing Unknown sets:\r\n\r\nBefore Any (v1.0)\r\n"}}));
}

}  // namespace
}  // namespace cartidex::test
