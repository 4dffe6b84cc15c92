// Writes the seed corpora of the fuzz targets: make_corpus OUT_DIR writes OUT_DIR/NAME/seed-N for
// every target NAME that has seeds. Seeds are small valid and nearly valid inputs that reach the
// branches a fuzzer would otherwise have to find by chance; the DAT seeds add the first entries
// of the shared collection's DATs when they are there (none of those are kept in the tree).
#include <zip.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/env.h"
#include "zip_seeds.h"

namespace cartidex {
namespace {

using Seeds = std::vector<std::string>;
using std::string_literals::operator""s;

std::string Repeat(std::string_view unit, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += unit;
  return out;
}

// The texts with a NUL between them: argument lists, and a folder text with its name and system.
std::string Joined(std::initializer_list<std::string_view> texts) {
  std::string out;
  for (std::string_view t : texts) out += std::string(t) + '\0';
  out.pop_back();
  return out;
}

Seeds DatafileSeeds() {
  const std::string many = ":r" + Repeat(":r", 128) + ";" + Repeat(":1", 129) + ";";
  return {
      // The worked example, then every line end, a byte-order mark, NULs and no last line end.
      "#console#;Game Console\r\nSample Set (Rev 2.0).zip:samp.u1:samp.u2;:65536:131072;:1A2B3C4D:"
      "00ff00ff\r\nSpace Race.bin;32768;89ABCDEF\r\n\r\nCollection notes: two sets\r\n",
      "\xEF\xBB\xBF#console#;S\nA.bin;1;1\r\rB;2;2\n\rC\0;3;3\r\n\0D;4;4"s,
      // System lines that are and are not; fields, numbers and groups as the format reads them.
      "B.bin;1;1\r\n#console#;\r\n#console#\r\n#CONSOLE#;X\r\n #console#;X\r\n#console#:x;S:y;z\r\n"
      "P:a.bin:b.bin;x:10:20;y:0A:0B;extra\r\nT:a.bin:;x:5:;y:1F:\r\nTwo;groups\r\nN.bin;-1;zz\r\n"
      "M.bin;+12abc;0x1F\r\nW.bin;4294967297;123456789\r\nG.bin;;1G\r\nSet : a;x:1;y:2\r\n"
      "Solo.bin;1024;ABCD\r\nWide;3;3;" +
          Repeat(";:", 200) + "\r\n",
      // Refusals: too many ROMs, missing fields, texts too long; the most ROMs a set holds.
      "Many" + many + Repeat(":1", 129) + "\r\nShort:a:b;:1;:1:2\r\nS:" + std::string(128, 'r') +
          ";:1;:1\r\n" + std::string(128, 'n') + ";1;1\r\nF;" + std::string(260, '1') +
          ";1\r\n#console#;" + std::string(128, 's') + "\r\nFull" + Repeat(":r", 128) + ";" +
          Repeat(":7", 128) + ";" + Repeat(":7", 128),
      "#console#;M\xC3\xA9ga "
      "\xFF\r\nCaf\xE9.bin;1;1\r\n\xC0\xAF:\x80:\xF4\x90\x80\x80;:1:2;:3:4\r\n\t\x01\x7F.bin;5;"
      "5\r\n",
  };
}

Seeds CliArgsSeeds() {
  return {
      Joined({"reload", "help", "single", "rom.bin", "directory", "roms", "generate", "lists"}),
      Joined({"--home", "home", "--keep-log", "/tmp/kept.txt", "--rename", "--subdirs",
              "--move-known", "<system>\\<c1>", "--move-unknown", "u", "directory", "roms"}),
      Joined({"--no-rename", "--no-subdirs", "--no-move-known", "--no-move-unknown", "single",
              "-rom.bin", "single", "roms/../rom.bin"}),
      Joined({"directory", "", ""}),
      Joined({"single"}),
      Joined({"--move-known"}),
      Joined({"reload", "--home", "later", "--bogus"}),
  };
}

Seeds ExpandPatternSeeds() {
  return {
      Joined({"C:\\Roms\\<c1>\\", "Test.rom", "Sys"}),
      Joined({"/roms/<system>/<c1>/<name>/", "Test.rom", "Game Console"}),
      Joined({"<c1><c2><c0><c><cx><c-3><c3rd><c99>/<name/<foo>/<a<name>/>", "test.rom", "S"}),
      Joined({"<name>/<system><system>", "<name>", "<system><c1>"}),
      Joined({"out/<system>/.<c1>/<name>/<c1>.", "..", "C:\\Windows\\..\\x//./y/"}),
      Joined({"x/.<name>./<c1>", "", ""}),
      Joined({Repeat("<system>", 40), "\xC3\xA9t\xE9", std::string(127, 's')}),
  };
}

// Each seed archive, and each cut short (no central directory); one of many members.
Seeds ZipSeeds(const std::string& scratch) {
  std::vector<std::vector<fuzz::SeedMember>> archives = fuzz::SeedArchives();
  archives.emplace_back();
  for (int i = 0; i < 40; ++i) archives.back().push_back({"m" + std::to_string(i), "m"});
  Seeds seeds;
  for (const auto& members : archives) {
    zipFile zip = zipOpen(scratch.c_str(), 0);
    bool ok = zip != nullptr;
    for (const fuzz::SeedMember& m : members) {
      zip_fileinfo info{};
      info.dosDate = 0x5A2E6000;  // 2025-01-14 12:00:00
      ok =
          ok &&
          zipOpenNewFileInZip(zip, m.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                              m.deflated ? Z_DEFLATED : 0, Z_DEFAULT_COMPRESSION) == ZIP_OK &&
          zipWriteInFileInZip(zip, m.data.data(), static_cast<unsigned>(m.data.size())) == ZIP_OK &&
          zipCloseFileInZip(zip) == ZIP_OK;
    }
    std::string bytes;
    ok = zip != nullptr && zipClose(zip, nullptr) == ZIP_OK && ok &&
         ReadWholeFile(RealEnv(), scratch, &bytes).ok();
    std::remove(scratch.c_str());
    if (!ok) {
      std::fprintf(stderr, "make_corpus: cannot write a zip seed\n");
      continue;
    }
    seeds.push_back(bytes);
    seeds.push_back(bytes.substr(0, bytes.size() / 2));
  }
  return seeds;
}

// A DAT of the shared collection cut before entry `count` + 1 that begins with `opener`, closed
// with `closer`; nothing when it cannot be read.
void AddTrimmedDat(Seeds* seeds, const std::string& file, std::string_view opener, int count,
                   std::string_view closer) {
  std::string contents;
  if (!ReadWholeFile(RealEnv(), std::string(CARTIDEX_SHARED_DATA) + "/" + file, &contents).ok()) {
    return;
  }
  size_t pos = 0;
  for (int i = 0; i <= count && pos != std::string::npos; ++i) {
    pos = contents.find(opener, pos == 0 ? 0 : pos + 1);
  }
  if (pos != std::string::npos) seeds->push_back(contents.substr(0, pos) + std::string(closer));
}

Seeds DatSeeds() {
  const std::string rom = "<rom name=\"r\" size=\"1\" crc=\"00000001\"/>";
  Seeds seeds = {
      // Logiqx: a header, games and machines, a clone, dump flags, both bases, refusals.
      "<?xml version=\"1.0\"?>\n<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management "
      "Datafile//EN\" \"x.dtd\">\n<datafile>\n\t<header><name>Hand &amp; Made</name></header>\n"
      "<game name=\"A\"><description>A</description><rom name=\"a\" size=\"1024\" crc=\"0123abcd\""
      "/><rom name=\"b\" size=\"0x10\" crc=\"DEADBEEF\"/></game>\n<machine name=\"B.v1\" cloneof="
      "\"A\"><rom name=\"c\" size=\"2\" crc=\"1\" status=\"nodump\"/><rom name=\"e\" size=\"3\"/>"
      "</machine><game name=\"Bad\"><rom name=\"f\" size=\"-1\" crc=\"xyz\"/></game><game>" +
          rom + "</game><game name=\"Z\"/><game name=\"" + std::string(130, 'n') + "\">" + rom +
          "</game><game name=\"E\">" + rom + "</game><header><name>" + std::string(200, 's') +
          "</name></header></datafile>\n",
      // A software list; then another root and broken XML.
      "\xEF\xBB\xBF <softwarelist name=\"pce\" description=\"PC Engine\"><software name=\"one\">"
      "<part name=\"cart\"><dataarea name=\"rom\" size=\"4\"><rom name=\"one.pce\" size=\"4\" "
      "crc=\"89abcdef\"/><rom size=\"4\" offset=\"4\" loadflag=\"continue\"/></dataarea></part>"
      "<part name=\"c2\"><dataarea name=\"rom\"><rom name=\"two\" size=\"8\" crc=\"12345678\"/>"
      "</dataarea></part></software><software name=\"nothing\"/></softwarelist>\n",
      "<other><game name=\"x\"/></other>",
      "<datafile><game name=\"x\">" + rom.substr(0, rom.size() - 2) + "></game>",
      // ClrMamePro text: a header, games, machines, resources, flags, nested blocks, quotes.
      "clrmamepro ( name \"Hand Made\" version 1 )\ngame ( name \"A (USA)\" region \"USA\" rom ( "
      "name \"A.bin\" size 8192 crc 931A0BDC md5 00 sha1 00 ) )\nmachine ( rom ( name a size 0x10 "
      "crc deadbeef ) name B )\nresource ( name R rom ( name r size 1 crc 00000001 nodump ) rom ( "
      "name s size 2 crc 00000002 baddump ) )\ngame ( name Bad rom ( name b size 12abc crc 1 ) )\n"
      "game ( rom ( name c size 1 crc 00000003 ) )\ngame ( name N sample ( name x ( deeper ) ) rom "
      "( name d size 1 crc 00000004 flags nodump ) rom ( name e size 5 crc 00000005 status good ) "
      ")\nemulator ( name old )\ngame ( name L rom ( name f size 6 crc 00000006 ) flag )\r\n"
      "clrmamepro ( name \"" +
          std::string(200, 'h') + "\" )\n",
      "game ( name \"open rom ( name a size 1 crc 1 ) )",
      "clrmamepro ( name x\r\rgame ( name y rom ( name a size 1 crc 1 )",
      "\xFF\xFE<\0d\0a\0t\0a\0f\0i\0l\0e\0/\0>\0"s,
  };
  AddTrimmedDat(&seeds, "Atari - 2600.dat", "\ngame (", 6, "\n");
  AddTrimmedDat(&seeds, "Nintendo - Game Boy.dat", "\ngame (", 6, "\n");
  AddTrimmedDat(&seeds, "MAME 2000 XML.dat", "<game ", 3, "</datafile>\n");
  AddTrimmedDat(&seeds, "pce.xml", "<software ", 4, "</softwarelist>\n");
  AddTrimmedDat(&seeds, "MAME 2000 XML.dat", "<rom ", 30, "");  // cut inside a game: broken
  return seeds;
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
  RealEnv()->CreateFolder(out);  // may exist already, as may the targets' folders
  const std::pair<const char*, Seeds> targets[] = {
      {"datafile", DatafileSeeds()},
      {"parse_hex", {"", "1f", "0x1F", "1G ", "FFFFFFFF", "deadbeef", "123456789", "\0\xFF"s}},
      {"cli_args", CliArgsSeeds()},
      {"zip", ZipSeeds(out + "/scratch.zip")},
      {"expand_pattern", ExpandPatternSeeds()},
      {"dat", DatSeeds()},
  };
  for (const auto& [name, seeds] : targets) {
    RealEnv()->CreateFolder(out + "/" + name);
    for (size_t i = 0; i < seeds.size(); ++i) {
      if (!WriteWholeFile(RealEnv(), out + "/" + name + "/seed-" + std::to_string(i), seeds[i])
               .ok()) {
        std::fprintf(stderr, "make_corpus: cannot write the seeds of %s\n", name);
        return 1;
      }
    }
  }
  return 0;
}
