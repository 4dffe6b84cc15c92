// cartidex-cli run as a user would: the whole log byte for byte, the fields, the files on disk;
// then (POSIX only) the cases where a user's files are at stake.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

#include "app/help_text.h"
#include "e2e/cli_fixture.h"
#include "platform/env.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace cartidex::test {
namespace {

namespace fs = std::filesystem;

TEST_F(CliTest, LogOfAWholeRunTmpEmptiedNoLogLeftAndBadUsage) {
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
  // Bad usage runs nothing.
  fs::remove(keep.Path("log"));
  WriteFile(home.Path("log.txt"), "previous");
  WriteFile(work.Path("file"), "");
  const std::pair<Lines, std::string> kCases[] = {
      {{"frobnicate"}, "unknown word: frobnicate"},
      {{"reload", "single"}, "missing argument after single"},
      {{"single", ""}, "empty path after single"},
      {{"single", "."}, "not an existing file: " + work.Path(".")},
      {{"directory", "file"}, "not an existing folder: " + work.Path("file")}};
  for (const auto& [args, error] : kCases) {
    CliRun run = Cli(args, 2);
    EXPECT_EQ(run.out + run.log, "");
    EXPECT_TRUE(run.err.starts_with("cartidex-cli: " + error + "\n")) << run.err;
    EXPECT_EQ(ReadFile(home.Path("log.txt")), "previous");
  }
  // A report that cannot be made stops the run before its next command.
  const std::string report = work.Path("file/report.csv");
  CliRun no_report = Cli({"--report", report, "single", work.Path("file")}, 1);
  EXPECT_EQ(no_report.err, "cartidex-cli: cannot write the report " + report + "\n");
  EXPECT_EQ(no_report.log, StartLog({}) + kQuitted);
}

const std::string kA = "contents of a", kB = "bee", kSolo = "a solo rom", kTool = "a tool";
const std::string kC = std::string(70000, 'c');  // several copy buffers

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
      {"nothing.dat", "matches nothing",
       Fields(3, "nothing.dat", "Unknown", "Unknown", "00000000", ""),
       OpenedLine(work.Path("nothing.dat"), "matches nothing", false)},
      {"empty.bin", "", error, ""},
      {"hole.zip", StoredZip({{"a.rom", kA}, {"b-empty.rom", ""}, {"c.rom", kC}}), error,
       unzipped("hole.zip") + Member("a.rom", kA, true) + "  - "},
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

// The same options run first as a dry run, then for real: the dry run changes nothing and
// announces exactly what the real run then does, and both write the same report.
TEST_F(CliTest, IdentifiedTreeRenamedMovedAndListedAfterADryRun) {
  // Sets before any system are the system "Unknown"; the runs of one system are gathered.
  WriteFile(home.Path("datfiles/0.cxi"), "Before Any (v1.0).bin;4;00000001\r\n");
  WriteFile(home.Path("datfiles/1.cxi"), kNestedGamesDatafile1);
  WriteFile(home.Path("datfiles/2.cxi"), kNestedGamesDatafile2);
  const std::string pack = StoredZip({{"sonic1.bin", kSonic1}, {"sonic2.bin", kSonic2}});
  // Half a set: an unknown archive, moved whole and not renamed.
  const std::string partial = StoredZip({{"sonic1.bin", kSonic1}});
  WriteFile(work.Path("in/dump.bin"), kTetris);
  WriteFile(work.Path("in/empty.bin"), "");
  WriteFile(work.Path("in/junk, old.txt"), "junk");
  WriteFile(work.Path("in/pack.zip"), pack);
  WriteFile(work.Path("in/partial.zip"), partial);
  // Two copies: the second takes the name the first gave up, and meets it at the target.
  WriteFile(work.Path("in/sub/again.bin"), kZelda);
  WriteFile(work.Path("in/sub/zelda.bin"), kZelda);
  // A single file whose new name and target are taken: both files stay as they are.
  WriteFile(work.Path("one/dump.bin"), kTetris);
  WriteFile(work.Path("one/Tetris.gb"), "other");
  WriteFile(home.Path("sorted/Nintendo/Game Boy/dump.bin"), "in the way");
  WriteFile(work.Path("lists/Sega_have.txt"), "from an earlier run, much longer\r\n");

  const std::string to_known = NativePath("sorted/<system>"), single = NativePath("one/dump.bin");
  const Lines args = {"--rename", "--subdirs",      "--move-known",
                      to_known,   "--move-unknown", NativePath("unknown/<c1>"),
                      "--fixdat", "directory",      "in",
                      "generate", "lists",          "single",
                      single};
  const Files work_before = Contents(work.path()), home_before = Contents(home.path());
  Lines dry_args = {"--dry-run", "--report", keep.Path("dry.csv")};
  dry_args.insert(dry_args.end(), args.begin(), args.end());
  CliRun dry = Cli(dry_args);
  EXPECT_EQ(Contents(work.path()), work_before);
  EXPECT_EQ(Contents(home.path()), home_before);
  EXPECT_FALSE(Exists(home.Path("unknown")));
  // The report being written lies in the walked folder: the walk passes it over.
  Lines real_args = {"--report", work.Path("in/report.csv")};
  real_args.insert(real_args.end(), args.begin(), args.end());
  CliRun run = Cli(real_args);

  const std::string in = work.Path("in/"), one = work.Path("one/"), sub = in + NativePath("sub/");
  const std::string gb = NativePath("sorted/Nintendo/Game Boy/"), u = NativePath("unknown/");
  const std::string walk_log =
      OpenedLine(in + "dump.bin", kTetris, true) + "Renamed: " + in + "dump.bin To: " + in +
      "Tetris.gb\r\n Moved: " + in + "Tetris.gb To: " + gb + "Tetris.gb\r\n Moved: " + in +
      "empty.bin To: " + u + NativePath("E/empty.bin") + "\r\n" +
      OpenedLine(in + "junk, old.txt", "junk", false) + " Moved: " + in + "junk, old.txt To: " + u +
      NativePath("J/junk, old.txt") + "\r\nFile unzipped: " + in + "pack.zip\r\n Containing:\r\n" +
      Member("sonic1.bin", kSonic1, true) + Member("sonic2.bin", kSonic2, true) +
      " Found set: Sonic Pack.zip\r\n\r\nRenamed: " + in + "pack.zip To: " + in +
      "Sonic Pack.zip\r\n Moved: " + in +
      "Sonic Pack.zip To: " + NativePath("sorted/Sega/Sonic Pack.zip") +
      "\r\nFile unzipped: " + in + "partial.zip\r\n Containing:\r\n" +
      Member("sonic1.bin", kSonic1, true) + " No set found\r\n\r\n Moved: " + in +
      "partial.zip To: " + u + NativePath("P/partial.zip") + "\r\n" +
      OpenedLine(sub + "again.bin", kZelda, true) + "Renamed: " + sub + "again.bin To: " + sub +
      "Zelda.gb\r\n Moved: " + sub + "Zelda.gb To: " + gb + "Zelda.gb\r\n" +
      OpenedLine(sub + "zelda.bin", kZelda, true) + "Renamed: " + sub + "zelda.bin To: " + sub +
      "Zelda.gb\r\n Move failed: " + sub + "Zelda.gb To: " + gb + "Zelda.gb\r\n";
  const std::string single_log = OpenedLine(one + "dump.bin", kTetris, true) +
                                 "Rename failed: " + one + "dump.bin To: " + one +
                                 "Tetris.gb\r\n Move failed: " + one + "dump.bin To: " + gb +
                                 "dump.bin\r\n" + kQuitted;
  const std::string start = StartLog({"0.cxi", "1.cxi", "2.cxi"});
  EXPECT_EQ(run.log, start + walk_log + single_log);
  const Lines stems = {"Unknown", "Nintendo_Game Boy", "Sega"};
  std::string would_write;
  for (const std::string& stem : stems) {
    for (const char* end : {"_have.txt", "_miss.txt", "_miss.dat"}) {
      would_write += "Would write: " + work.Path("lists/") + stem + end + "\r\n";
    }
  }
  auto announced = [](const std::string& log) {
    return ReplaceAll(ReplaceAll(log, "Renamed: ", "Would rename: "), " Moved: ", " Would move: ");
  };
  EXPECT_EQ(dry.log, start + announced(walk_log) + would_write + announced(single_log));
  const std::string summary =
      "Walked 7 files: 4 identified, 2 unknown, 1 errors; 4 renamed, 6 moved, 1 failures\n";
  EXPECT_EQ(dry.err + run.err, summary + summary);

  const std::string walked =
      Fields(5, "Several", "Several", "Nintendo\\Game Boy", "Several", "Several");
  EXPECT_EQ(run.out,
            Fields(5) + walked + walked +
                Fields(5, "dump.bin", "Tetris.gb", "Nintendo\\Game Boy", "11111111", "16"));
  EXPECT_EQ(dry.out, run.out);
  EXPECT_EQ(Contents(home.Path("sorted")), (Files{{"Nintendo/Game Boy/Tetris.gb", kTetris},
                                                  {"Nintendo/Game Boy/Zelda.gb", kZelda},
                                                  {"Nintendo/Game Boy/dump.bin", "in the way"},
                                                  {"Sega/Sonic Pack.zip", pack}}));
  EXPECT_EQ(Contents(home.Path("unknown")),
            (Files{{"E/empty.bin", ""}, {"J/junk, old.txt", "junk"}, {"P/partial.zip", partial}}));
  EXPECT_EQ(ListTree(work.Path("in")), (Lines{"report.csv", "sub/Zelda.gb"}));
  EXPECT_EQ(Contents(work.Path("one")), (Files{{"Tetris.gb", "other"}, {"dump.bin", kTetris}}));
  EXPECT_EQ(ReadFile(work.Path("lists/Sega_have.txt")), "Owning Sega sets:\r\n\r\nSonic Pack\r\n");
  EXPECT_EQ(ReadFile(work.Path("lists/Nintendo_Game Boy_miss.txt")),
            "Missing Nintendo\\Game Boy sets:\r\n\r\nTetris\r\nZelda\r\n");

  const std::string gb_row = ",identified,Zelda.gb,Nintendo\\Game Boy,55555555,16,";
  EXPECT_EQ(
      ReadFile(work.Path("in/report.csv")),
      "path,result,name,system,crc32,size,new_path,failure\r\n" + in +
          "dump.bin,identified,Tetris.gb,Nintendo\\Game Boy,11111111,16," + gb + "Tetris.gb,\r\n" +
          in + "empty.bin,error,Error,Error,Error,Error," + u + NativePath("E/empty.bin") +
          ",\r\n\"" + in + "junk, old.txt\",unknown,Unknown,Unknown,00000000,,\"" + u +
          NativePath("J/junk, old.txt") + "\",\r\n" + in +
          "pack.zip,identified,Sonic Pack.zip,Sega,Zipfile,Zipfile," +
          NativePath("sorted/Sega/Sonic Pack.zip") + ",\r\n" + in +
          "partial.zip,unknown,Unknown,Unknown,Zipfile,Zipfile," + u + NativePath("P/partial.zip") +
          ",\r\n" + sub + "again.bin" + gb_row + gb + "Zelda.gb,\r\n" + sub + "zelda.bin" + gb_row +
          sub + "Zelda.gb, Move failed: " + sub + "Zelda.gb To: " + gb + "Zelda.gb\r\n" + one +
          "dump.bin,identified,Tetris.gb,Nintendo\\Game Boy,11111111,16,,\"Rename failed: " + one +
          "dump.bin To: " + one + "Tetris.gb\r\n Move failed: " + one + "dump.bin To: " + gb +
          "dump.bin\"\r\n");
  EXPECT_EQ(ReadFile(keep.Path("dry.csv")), ReadFile(work.Path("in/report.csv")));

  // The fixdats, as the only datafiles, load back as exactly the missing sets.
  for (const char* name : {"0.cxi", "1.cxi", "2.cxi"}) fs::remove(home.Path("datfiles/") + name);
  for (const std::string& stem : stems) {
    fs::copy_file(work.Path("lists/" + stem + "_miss.dat"), home.Path("datfiles/" + stem + ".dat"));
  }
  CliRun back = Cli({"generate", "again", "single", NativePath("one/dump.bin")});
  EXPECT_EQ(back.out,
            Fields(4) + Fields(4) +
                Fields(4, "dump.bin", "Tetris.gb", "Nintendo\\Game Boy fixdat", "11111111", "16"));
  for (const std::string& stem : stems) {
    EXPECT_EQ(
        ReadFile(work.Path("again/" + stem + " fixdat_miss.txt")),
        ReplaceAll(ReadFile(work.Path("lists/" + stem + "_miss.txt")), " sets:", " fixdat sets:"));
  }
}

#ifndef _WIN32

class SafetyTest : public CliTest {
 protected:
  // Tetris is a game of the system "tmp": "<system>" leads into the program's scratch folder.
  SafetyTest() { WriteFile(home.Path("datfiles/games.cxi"), "#console#;tmp\r\n" + game); }
  const std::string game = RomLine("Tetris.gb", kTetris), start_log = StartLog({"games.cxi"});
};

TEST_F(SafetyTest, ScratchFolderThatIsALinkIsNeverEmptiedNorExtractedInto) {
  WriteZip(work.Path("set.zip"), {ZipMember("tetris.gb", kTetris)});
  WriteFile(work.Path("mine/notes.txt"), "the user's own");
  fs::create_directory_symlink(work.Path("mine"), home.Path("tmp"));
  EXPECT_EQ(Cli({"single", work.Path("set.zip")}).log,
            ReplaceAll(start_log, "Directory \"tmp\" emptied",
                       "Not a folder of its own: " + home.Path("tmp/")) +
                "Cannot extract: " + work.Path("set.zip") + "\r\n" + kQuitted);
  EXPECT_EQ(Contents(work.Path("mine")), (Files{{"notes.txt", "the user's own"}}));
}

TEST_F(SafetyTest, HugeAndUnreadableDatafilesAreRefusedAndTheOthersLoad) {
  const std::string dat = home.Path("datfiles/");
  WriteFile(dat + "huge.dat", "");
  fs::resize_file(dat + "huge.dat", uint64_t{1} << 40);  // sparse: no disk taken
  fs::create_symlink(dat + "gone.cxi", dat + "broken.cxi");
  ASSERT_EQ(::mkfifo((dat + "pipe.dat").c_str(), 0600), 0);
  CliRun run = Cli({});
  EXPECT_EQ(run.log, StartLog({"broken.cxi\r\nCannot read: " + dat + "broken.cxi", "games.cxi",
                               "huge.dat\r\nToo large to load: " + dat + "huge.dat",
                               "pipe.dat\r\nCannot read: " + dat + "pipe.dat"}) +
                         kQuitted);
  EXPECT_NE(run.out.find("1 roms in database"), std::string::npos) << run.out;
}

TEST_F(SafetyTest, MovesAndListsIntoTheProgramsOwnFoldersFailWhateverLeadsThere) {
  const std::string file = work.Path("in/x.gb");
  WriteFile(file, kTetris);
  fs::create_directory_symlink(home.Path("tmp"), work.Path("to-tmp"));
  // The first target finds no `tmp` yet: the move makes it, then finds itself there.
  const std::pair<std::string, std::string> kCases[] = {
      {"<system>", "tmp/"},
      {"sorted/../tmp/deeper", "sorted/../tmp/deeper/"},
      {work.Path("to-tmp"), work.Path("to-tmp/")},
      {home.Path("datfiles/new"), home.Path("datfiles/new/")},
  };
  Lines args;
  std::string log = start_log;
  for (const auto& [text, folder] : kCases) {
    args.insert(args.end(), {"--move-known", text, "single", file});
    log +=
        OpenedLine(file, kTetris, true) + " Move failed: " + file + " To: " + folder + "x.gb\r\n";
  }
  for (const std::string& folder : {home.Path("tmp"), home.Path("datfiles")}) {
    args.insert(args.end(), {"generate", folder});
    log += "List not written: " + folder + "/tmp_have.txt\r\nList not written: " + folder +
           "/tmp_miss.txt\r\n";
  }
  // A dry run knows beforehand: it announces the same failures.
  args.insert(args.begin(), "--dry-run");
  EXPECT_EQ(Cli(args).log, log + kQuitted);
  args.erase(args.begin());
  EXPECT_EQ(Cli(args).log, log + kQuitted);
  EXPECT_EQ(ReadFile(file), kTetris);
  EXPECT_EQ(ListTree(home.Path("tmp")), Lines{});
  EXPECT_EQ(ListTree(home.Path("datfiles")), Lines{"games.cxi"});
}

TEST_F(SafetyTest, SecondInstanceSaysSoTouchesNothingAndTheLockEndsWithTheFirst) {
  WriteFile(home.Path("log.txt"), "the first instance's log");
  WriteFile(home.Path("tmp/member.bin"), "being identified");
  std::unique_ptr<FolderLock> lock;
  ASSERT_TRUE(RealEnv()->LockFolder(home.path(), &lock).ok());
  const Files before = Contents(home.path());
  CliRun second = Cli({"single", home.Path("log.txt")}, 3);
  EXPECT_EQ(second.out + second.log, "");
  EXPECT_EQ(second.err, "cartidex-cli: another Cartidex is running in " + home.path() + "\n");
  EXPECT_EQ(Contents(home.path()), before);
  lock.reset();
  EXPECT_EQ(Cli({}).log, start_log + kQuitted);
}

// Pipes and a dangling link are refused at once, and moved aside as they are.
TEST_F(SafetyTest, WalksStayInTheChosenFolderAndRefuseWhatIsNoFile) {
  WriteFile(work.Path("outside.bin"), "beside the chosen folder");
  WriteFile(work.Path("data/file.bin"), "named by a relative link");
  const Files outside = Contents(work.path());
  const std::string in = work.Path("in/"), out = work.Path("sorted/unknown");
  WriteFile(in + "sub/b.bin", "in a sub-folder");
  fs::create_directory_symlink("..", in + "up");
  fs::create_directory_symlink("sub", in + "inner");
  fs::create_symlink("../data/file.bin", in + "link.bin");
  fs::create_symlink(in + "nowhere", in + "w.bin");
  for (const char* name : {"x.zip", "y.bin"}) ASSERT_EQ(::mkfifo((in + name).c_str(), 0666), 0);
  // The link inside is followed (once); the one that leads out of the folder is not.
  std::string log = start_log + "Cannot read: " + in + "x.zip\r\nCannot read: " + in + "y.bin\r\n" +
                    OpenedLine(in + "inner/b.bin", "in a sub-folder", false) + " Moved: " + in +
                    "inner/b.bin To: " + out + "/b.bin\r\n" +
                    OpenedLine(in + "link.bin", "named by a relative link", false) +
                    " Moved: " + in + "link.bin To: " + out + "/link.bin\r\n";
  for (const std::string name : {"w.bin", "x.zip", "y.bin"}) {
    log += "Cannot read: " + in + name + "\r\n Moved: " + in + name + " To: " + out + "/" + name +
           "\r\n";
  }
  EXPECT_EQ(Cli({"single", in + "x.zip", "single", in + "y.bin", "--subdirs", "--move-unknown", out,
                 "directory", in})
                .log,
            log + kQuitted);
  EXPECT_TRUE(fs::is_symlink(out + "/link.bin"));
  EXPECT_EQ(ReadFile(out + "/link.bin"), "named by a relative link");
  EXPECT_EQ(ListTree(out), (Lines{"b.bin", "link.bin", "w.bin", "x.zip", "y.bin"}));
  fs::remove_all(work.Path("sorted"));
  fs::remove_all(in);
  EXPECT_EQ(Contents(work.path()), outside);
}

// A database name with a Latin-1 byte, a blank and dashes.
TEST_F(CliTest, NamesWithBlanksLineEndsDashesAndOddBytesKeepEveryByte) {
  const std::string kTetrisName = "T\xE9tris -J-.gb", w = work.path() + "/", t = w + "t/";
  WriteFile(home.Path("datfiles/games.cxi"),
            "#console#;Game Boy\r\n" + RomLine(kTetrisName, kTetris));
  const std::string dash = w + "-x y.bin";
  WriteFile(dash, kTetris);
  const std::pair<std::string, std::string> kUnknown[] = {
      {"new\nline.bin", "no rom at all"},
      {"d/--rename", "an option's name"},
      {"d/\xFF\xFE \xE9.bin", "latin and worse"}};
  for (const auto& [name, contents] : kUnknown) WriteFile(w + name, contents);
  CliRun run =
      Cli({"--rename", "--subdirs", "--move-known", t + "<system>", "--move-unknown", t + "unknown",
           "single", dash, "single", w + "new\nline.bin", "directory", w + "d"});
  // A line end in a name is shown escaped, so that the state lines stay lines.
  EXPECT_NE(run.out.find("Filename: new\\x0Aline.bin\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Filename: " + kTetrisName + "\n"), std::string::npos) << run.out;
  std::string log = StartLog({"games.cxi"}) + OpenedLine(dash, kTetris, true) + "Renamed: " + dash +
                    " To: " + w + kTetrisName + "\r\n Moved: " + w + kTetrisName + " To: " + t +
                    "Game Boy/" + kTetrisName + "\r\n";
  for (const auto& [name, contents] : kUnknown) {
    const std::string base = name.substr(name.rfind('/') + 1);
    log += OpenedLine(w + name, contents, false) + " Moved: " + w + name + " To: " + t +
           "unknown/" + base + "\r\n";
    EXPECT_EQ(ReadFile(t + "unknown/" + base), contents);
  }
  EXPECT_EQ(run.log, log + kQuitted);
  EXPECT_EQ(ReadFile(t + "Game Boy/" + kTetrisName), kTetris);
}

#endif  // !_WIN32: such names, pipes, links and rights are POSIX cases.

}  // namespace
}  // namespace cartidex::test
