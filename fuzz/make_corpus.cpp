// Writes the seed corpora of the fuzz targets: make_corpus OUT_DIR writes OUT_DIR/NAME/seed-N for
// every target NAME that has seeds. Seeds are small valid (and nearly valid) inputs that reach
// every branch a fuzzer would otherwise have to find by chance: every kind of datafile line and
// line end, the refusals, CRC-32 texts, argument lists, zip archives for the archive target,
// folder texts with every kind of code, and DATs of every format (hand-made ones, and the first
// entries of the shared collection's DATs when it is there; none of those are kept in the tree).
#include <zip.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/env.h"
#include "romdb/rom_database.h"

namespace cartidex {
namespace {

using Seeds = std::vector<std::string>;

std::string Repeat(std::string_view unit, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += unit;
  return out;
}

Seeds DatafileSeeds() {
  std::string many_names = "Many", many_sizes, many_crcs;
  for (int i = 0; i <= kMaxRomsPerSet; ++i) {
    many_names += ":r" + std::to_string(i);
    many_sizes += ":1";
    many_crcs += ":1";
  }
  return {
      // The worked example: a system line, a set of two ROMs, a one-ROM set, an empty line and
      // a note.
      "#console#;Game Console\r\n"
      "Sample Set (Rev 2.0).zip:samp.u1:samp.u2;:65536:131072;:1A2B3C4D:00ff00ff\r\n"
      "Space Race.bin;32768;89ABCDEF\r\n"
      "\r\n"
      "Collection notes: two sets\r\n",
      // Every line end, a byte-order mark, a last line without its end.
      "\xEF\xBB\xBF#console#;Sys\nA.bin;1;1\r\rB.bin;2;2\n\rC.bin;3;3",
      // NUL inside a line and where a line begins.
      std::string("A.bin;1;1\0B.bin;2;2\r\n\0C.bin;3;3\r\n", 32),
      // System lines that are and are not, fields as the format reads them.
      "Before.bin;1;1\r\n#console#;\r\nEmpty.bin;1;2\r\n#console#\r\n#CONSOLE#;X\r\n"
      " #console#;X\r\n#console#:extra;Sys:more;ignored\r\nSolo.bin;1024;ABCD\r\n"
      "Pair:a.bin:b.bin;x:10:20;y:0A:0B;extra\r\nT:a.bin:;x:5:;y:1F:\r\n"
      "Set : a.bin;x:1;y:2\r\nTwo;groups\r\n",
      // Numbers: signs, junk after digits, wrap-around, letters beyond F.
      "N.bin;-1;zz\r\nM.bin;+12abc;0x1F\r\nW.bin;4294967297;123456789\r\nG.bin;;1G\r\n",
      // Refusals: too many ROMs, missing fields, names, fields and systems too long.
      "#console#;Sys\r\nKeep.bin;1;1\r\n" + many_names + ";" + many_sizes + ";" + many_crcs +
          "\r\nShort:a.bin:b.bin;:1;:1:2\r\n" + std::string(128, 'n') +
          ".bin;1;1\r\nS:" + std::string(128, 'r') + ";:1;:1\r\nF.bin;" + std::string(260, '1') +
          ";1\r\n" + "#console#;" + std::string(128, 's') + "\r\nAfter.bin;2;2\r\n",
      // Non-ASCII and invalid UTF-8 bytes in names and systems.
      "#console#;M\xC3\xA9ga "
      "\xFF\r\nCaf\xE9.bin;1;1\r\n\xC0\xAF:\x80\x81:\xF4\x90\x80\x80;:1:2;:3:4\r\n"
      "\t\x01\x7F.bin;5;5\r\n",
      // A set of 128 ROMs, the most a set holds.
      "Full" + Repeat(":r", kMaxRomsPerSet) + ";" + Repeat(":7", kMaxRomsPerSet) + ";" +
          Repeat(":7", kMaxRomsPerSet) + "\r\n",
      // Many separators in unused groups and fields.
      "Wide.bin;3;3;" + Repeat(";", 300) + Repeat(":", 300) + "\r\n",
  };
}

Seeds ParseHexSeeds() {
  return {"",
          "1f",
          "1F",
          "0x1F",
          "1F ",
          "1G",
          "FFFFFFFF",
          "deadbeef",
          "DEADBEEF",
          "123456789",
          "zzzzzzzzz",
          "00ff00ff",
          std::string("\0\xFF", 2)};
}

// Words with a NUL after each.
std::string Words(std::initializer_list<std::string_view> words) {
  std::string out;
  for (std::string_view w : words) {
    out += w;
    out.push_back('\0');
  }
  return out;
}

Seeds CliArgsSeeds() {
  return {
      Words({"reload"}),
      Words({"help"}),
      Words({"single", "rom.bin"}),
      Words({"directory", "roms"}),
      Words({"generate", "lists"}),
      Words({"--home", "home", "--keep-log", "/tmp/kept.txt", "reload"}),
      Words({"--rename", "--subdirs", "--move-known", "<system>\\<c1>", "--move-unknown", "unknown",
             "directory", "roms"}),
      Words({"--no-rename", "--no-subdirs", "--no-move-known", "--no-move-unknown", "help"}),
      Words({"single", "-rom.bin"}),
      Words({"single", "./rom.bin", "single", "roms/../rom.bin"}),
      Words({"single"}),
      Words({"directory", ""}),
      Words({"--move-known"}),
      Words({"--bogus"}),
      Words({"reload", "--home", "later"}),
  };
}

// A zip archive in a temporary file, read back into memory.
class ZipSeed {
 public:
  explicit ZipSeed(const std::string& path) : path_(path), zip_(zipOpen(path.c_str(), 0)) {}
  ~ZipSeed() {
    if (zip_ != nullptr) zipClose(zip_, nullptr);
    std::remove(path_.c_str());
  }
  bool Add(const std::string& name, std::string_view data, int method = Z_DEFLATED) {
    if (zip_ == nullptr) return false;
    zip_fileinfo info{};
    info.dosDate = 0x5A2E6000;  // 2025-01-14 12:00:00
    if (zipOpenNewFileInZip(zip_, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                            Z_DEFAULT_COMPRESSION) != ZIP_OK) {
      return false;
    }
    int wrote = zipWriteInFileInZip(zip_, data.data(), static_cast<unsigned>(data.size()));
    return zipCloseFileInZip(zip_) == ZIP_OK && wrote == ZIP_OK;
  }
  bool Finish(std::string* bytes) {
    if (zip_ == nullptr) return false;
    const int closed = zipClose(zip_, nullptr);
    zip_ = nullptr;
    if (closed != ZIP_OK) return false;
    return ReadWholeFile(RealEnv(), path_, bytes).ok();
  }

 private:
  std::string path_;
  zipFile zip_;
};

Seeds ZipSeeds(const std::string& scratch) {
  struct Member {
    std::string name;
    std::string data;
    int method = Z_DEFLATED;
  };
  const std::vector<std::vector<Member>> archives = {
      {{"a.bin", "stored contents", 0}},
      {{"a.bin", Repeat("deflated ", 200)}},
      {{"sub/a.bin", "in a folder"}, {"sub\\b.bin", "backslash folder"}, {"c.bin", ""}},
      {{"../climb.bin", "out"}, {"/abs.bin", "absolute"}, {"a/../../b.bin", "out again"}},
      {{"same.bin", "one"}, {"same.bin", "two"}},
      {{"folder/", ""}, {"x.bin", "x"}},
      // Complete sets of the zip target's datafile: one in folders, one of the same ROM twice.
      {{"sets/one.bin", "one"}, {"two.bin", "two", 0}},
      {{"m1.bin", "m"}, {"m2.bin", "m"}, {"x.bin", "x"}},
  };
  Seeds seeds;
  for (const auto& members : archives) {
    ZipSeed zip(scratch);
    bool ok = true;
    for (const Member& m : members) ok = ok && zip.Add(m.name, m.data, m.method);
    std::string bytes;
    if (!ok || !zip.Finish(&bytes)) {
      std::fprintf(stderr, "make_corpus: cannot write a zip seed\n");
      continue;
    }
    seeds.push_back(bytes);
    // The same archive cut short: no central directory.
    seeds.push_back(bytes.substr(0, bytes.size() / 2));
  }
  {
    ZipSeed zip(scratch);
    bool ok = true;
    for (int i = 0; i < 40 && ok; ++i) ok = zip.Add("m" + std::to_string(i) + ".bin", "m");
    std::string bytes;
    if (ok && zip.Finish(&bytes)) seeds.push_back(bytes);
  }
  return seeds;
}

// A folder text, the name and the system, with a NUL between them.
std::string Pattern(std::string_view text, std::string_view name, std::string_view system) {
  std::string out(text);
  out.push_back('\0');
  out += name;
  out.push_back('\0');
  out += system;
  return out;
}

Seeds ExpandPatternSeeds() {
  return {
      Pattern("C:\\Roms\\<c1>\\", "Test.rom", "Sys"),
      Pattern("/roms/<system>/<c1>/<name>/", "Test.rom", "Game Console"),
      Pattern("<c1><c2><c1><c0><c><cx><c-3><c3rd><c99>", "test.rom", "Sys"),
      Pattern("a/<name", "Test.rom", "Sys"),
      Pattern("<foo>/<a<name>/>/<NAME>/<System>", "Test.rom", "Sys"),
      Pattern("<name>/<system>", "<name>", "<system>"),
      Pattern("<system><system>", "n", "<system><name><c1>"),
      Pattern("out/<system>", "n", "../../etc"),
      Pattern("out/<system>", "n", "C:\\Windows\\..\\x//./y/"),
      Pattern("out/.<c1>/<name>/<c1>.", "..", "."),
      Pattern("out/<name>", "a/../b", "Sys"),
      Pattern("<c1>", "", "Sys"),
      Pattern("x/.<name>./<c1>", "", ""),
      Pattern("", "Test.rom", "Sys"),
      Pattern("plain/../text", "Test.rom", "Sys"),
      Pattern(Repeat("<system>", 40), "n", std::string(127, 's')),
      Pattern("<c1>", "\xC3\xA9t\xE9", "M\xC3\xA9ga"),
  };
}

// A DAT of the shared collection cut after `count` entries that begin with `opener`, closed
// with `closer` so that it stays well-formed; nothing when the file cannot be read.
std::optional<std::string> TrimmedDat(const std::string& file, std::string_view opener, int count,
                                      std::string_view closer) {
#ifdef CARTIDEX_SHARED_DATA
  std::string contents;
  if (!ReadWholeFile(RealEnv(), std::string(CARTIDEX_SHARED_DATA) + "/" + file, &contents).ok()) {
    return std::nullopt;
  }
  size_t pos = 0;
  for (int i = 0; i <= count && pos != std::string::npos; ++i) {
    pos = contents.find(opener, pos == 0 ? 0 : pos + 1);
  }
  if (pos == std::string::npos) return std::nullopt;
  return contents.substr(0, pos) + std::string(closer);
#else
  (void)file, (void)opener, (void)count, (void)closer;
  return std::nullopt;
#endif
}

Seeds DatSeeds() {
  Seeds seeds = {
      // Logiqx: a header, games and machines, a clone, dump flags, numbers in both bases, refusals.
      "<?xml version=\"1.0\"?>\n"
      "<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN\" \"x.dtd\">\n"
      "<datafile>\n\t<header>\n\t\t<name>Hand &amp; Made</name>\n\t</header>\n"
      "\t<game name=\"Alpha\">\n\t\t<description>A</description>\n"
      "\t\t<rom name=\"a.bin\" size=\"1024\" crc=\"0123abcd\"/>\n"
      "\t\t<rom name=\"b.bin\" size=\"0x10\" crc=\"DEADBEEF\"/>\n\t</game>\n"
      "\t<machine name=\"Beta.v1.2\" cloneof=\"Alpha\">\n"
      "\t\t<rom name=\"c.bin\" size=\"2\" crc=\"00000001\" status=\"nodump\"/>\n"
      "\t\t<rom name=\"d.bin\" size=\"3\" crc=\"00000002\"/>\n"
      "\t\t<rom name=\"e.bin\" size=\"3\"/>\n\t</machine>\n"
      "\t<game name=\"Bad\"><rom name=\"f\" size=\"-1\" crc=\"xyz\"/></game>\n"
      "\t<game><rom name=\"g\" size=\"1\" crc=\"00000003\"/></game>\n"
      "\t<game name=\"Empty\"/><game name=\"Same\"><rom name=\"h\" size=\"1\" "
      "crc=\"00000003\"/></game><game name=\"Same\"><rom name=\"h\" size=\"1\" "
      "crc=\"00000003\"/></game>\n"
      "\t<game name=\"" +
          std::string(130, 'n') +
          "\"><rom name=\"i\" size=\"1\" "
          "crc=\"00000004\"/></game>\n</datafile>\n",
      // A header whose name is too long, after the games.
      "<datafile><game name=\"G\"><rom name=\"r\" size=\"1\" crc=\"00000001\"/></game>"
      "<header><name>" +
          std::string(200, 's') + "</name></header></datafile>",
      // A software list.
      "\xEF\xBB\xBF <softwarelist name=\"pce\" description=\"PC Engine\">\n"
      "<software name=\"one\"><description>One</description>\n"
      "<part name=\"cart\" interface=\"pce_cart\"><dataarea name=\"rom\" size=\"4\">\n"
      "<rom name=\"one.pce\" size=\"4\" crc=\"89abcdef\" sha1=\"00\"/>\n"
      "<rom size=\"4\" offset=\"4\" loadflag=\"continue\"/></dataarea></part>\n"
      "<part name=\"cart2\"><dataarea name=\"rom\"><rom name=\"two.pce\" size=\"8\" "
      "crc=\"12345678\"/></dataarea></part></software>\n"
      "<software name=\"nothing\"/></softwarelist>\n",
      // Not a DAT: another root, broken XML.
      "<other><game name=\"x\"/></other>",
      "<datafile><game name=\"x\"><rom name=\"r\" size=\"1\" crc=\"00000001\"></game>",
      // ClrMamePro text: a header, games, machines and resources, flags, nested blocks, quotes.
      "clrmamepro (\n\tname \"Hand Made\"\n\tdescription \"x\"\n\tversion 1\n)\n\n"
      "game (\n\tname \"Alpha (USA)\"\n\tregion \"USA\"\n"
      "\trom ( name \"Alpha (USA).bin\" size 8192 crc 931A0BDC md5 00 sha1 00 )\n)\n"
      "machine ( rom ( name a.bin size 0x10 crc deadbeef ) name Beta )\n"
      "resource ( name Res rom ( name r.bin size 1 crc 00000001 nodump ) rom ( name s.bin size "
      "2 crc 00000002 baddump ) )\n"
      "game ( name Bad rom ( name b size 12abc crc 1 ) )\n"
      "game ( rom ( name c size 1 crc 00000003 ) )\n"
      "game ( name Nested sample ( name x ( deeper ) ) rom ( name d size 1 crc 00000004 flags "
      "nodump ) rom ( name e size 5 crc 00000005 status good ) )\n"
      "emulator ( name old )\ngame ( name Last rom ( name f size 6 crc 00000006 ) flag )\r\n",
      // Text that opens like one and breaks: an unclosed quote, an unclosed block.
      "game ( name \"open rom ( name a size 1 crc 00000001 ) )",
      "clrmamepro ( name x\r\rgame ( name y rom ( name a size 1 crc 00000001 )",
      // A header name too long, after a game.
      "game ( name G rom ( name r size 1 crc 00000001 ) )\nclrmamepro ( name \"" +
          std::string(200, 'h') + "\" )\n",
      // UTF-16 XML with a byte-order mark.
      std::string("\xFF\xFE<\0d\0a\0t\0a\0f\0i\0l\0e\0/\0>\0", 24),
  };
  const std::optional<std::string> trimmed[] = {
      TrimmedDat("Atari - 2600.dat", "\ngame (", 6, "\n"),
      TrimmedDat("Nintendo - Game Boy.dat", "\ngame (", 6, "\n"),
      TrimmedDat("MAME 2000 XML.dat", "<game ", 3, "</datafile>\n"),
      TrimmedDat("pce.xml", "<software ", 4, "</softwarelist>\n"),
      // Cut in the middle of a game: broken.
      TrimmedDat("MAME 2000 XML.dat", "<rom ", 30, ""),
  };
  for (const auto& t : trimmed) {
    if (t) seeds.push_back(*t);
  }
  return seeds;
}

bool WriteSeeds(const std::string& folder, const Seeds& seeds) {
  Env* env = RealEnv();
  env->CreateFolder(folder);  // may exist already
  for (size_t i = 0; i < seeds.size(); ++i) {
    std::string path = folder + "/seed-" + std::to_string(i);
    if (!WriteWholeFile(env, path, seeds[i]).ok()) {
      std::fprintf(stderr, "make_corpus: cannot write %s\n", path.c_str());
      return false;
    }
  }
  std::printf("%s: %zu seeds\n", folder.c_str(), seeds.size());
  return true;
}

}  // namespace
}  // namespace cartidex

int main(int argc, char** argv) {
  using namespace cartidex;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_corpus OUT_DIR\n");
    return 2;
  }
  const std::string out = argv[1];
  RealEnv()->CreateFolder(out);
  bool ok = WriteSeeds(out + "/datafile", DatafileSeeds()) &&
            WriteSeeds(out + "/parse_hex", ParseHexSeeds()) &&
            WriteSeeds(out + "/cli_args", CliArgsSeeds()) &&
            WriteSeeds(out + "/zip", ZipSeeds(out + "/scratch.zip")) &&
            WriteSeeds(out + "/expand_pattern", ExpandPatternSeeds()) &&
            WriteSeeds(out + "/dat", DatSeeds());
  return ok ? 0 : 1;
}
