// Sets loaded from collectors' DATs behave exactly as the same sets in the own format: the same
// identification, archive sets, renames, moves and lists, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "identify/number_text.h"
#include "support/run_cli.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

struct Rom {
  const char* name;
  std::string data;
};

// Four ROMs forged to known CRC-32s: two of an archive set, one single, one nobody has.
const Rom kA{"a.1", ForgeCrc("contents of a.1 ....", 0x1A2B3C4D)};
const Rom kB{"b.2", ForgeCrc("contents of b.2 ........", 0x00FF00FF)};
const Rom kSolo{"solo.bin", ForgeCrc("the single rom of Solo ....", 0xDEADBEEF)};
const Rom kMissing{"m.bin", ForgeCrc("never on disk", 0x01234567)};

std::string Size(const Rom& r) {
  return std::to_string(r.data.size());
}
std::string Crc(const Rom& r) {
  return FormatHex8(Crc32(r.data));
}

std::string OwnFormat() {
  auto set = [](const char* name, std::vector<Rom> roms) {
    std::string names = name, sizes, crcs;
    for (const Rom& r : roms) {
      names += std::string(":") + r.name;
      sizes += ":" + Size(r);
      crcs += ":" + Crc(r);
    }
    return names + ";" + sizes + ";" + crcs + "\r\n";
  };
  return "#console#;Test System\r\n" + set("Super Game (Rev 1.1).zip", {kA, kB}) +
         set("Solo.zip", {kSolo}) + set("Missing Game.zip", {kMissing});
}

std::string XmlRom(const Rom& r) {
  return std::string("<rom name=\"") + r.name + "\" size=\"" + Size(r) + "\" crc=\"" + Crc(r) +
         "\"/>";
}

std::string Logiqx() {
  return "<?xml version=\"1.0\"?>\n<datafile>\n<header><name>Test System</name></header>\n"
         "<game name=\"Super Game (Rev 1.1)\">" +
         XmlRom(kA) + XmlRom(kB) +
         "<rom name=\"prom\" size=\"32\" status=\"nodump\"/></game>\n"
         "<game name=\"Solo\">" +
         XmlRom(kSolo) +
         "</game>\n"
         "<machine name=\"Missing Game\">" +
         XmlRom(kMissing) + "</machine>\n</datafile>\n";
}

std::string ClrMamePro() {
  auto rom = [](const Rom& r) {
    return std::string("\trom ( name ") + r.name + " size " + Size(r) + " crc " + Crc(r) + " )\n";
  };
  return "clrmamepro (\n\tname \"Test System\"\n)\n\ngame (\n\tname \"Super Game (Rev 1.1)\"\n" +
         rom(kA) + rom(kB) + ")\n\ngame (\n\tname \"Solo\"\n" + rom(kSolo) +
         ")\n\nmachine (\n\tname \"Missing Game\"\n" + rom(kMissing) + ")\n";
}

std::string SoftwareList() {
  auto software = [](const char* name, std::vector<Rom> roms) {
    std::string s = std::string("<software name=\"") + name +
                    "\"><part name=\"cart\" interface=\"x\"><dataarea name=\"rom\" size=\"0x100\">";
    for (const Rom& r : roms) s += XmlRom(r);
    return s + "</dataarea></part></software>\n";
  };
  return "<?xml version=\"1.0\"?>\n<softwarelist name=\"test\" description=\"Test System\">\n" +
         software("Super Game (Rev 1.1)", {kA, kB}) + software("Solo", {kSolo}) +
         software("Missing Game", {kMissing}) + "</softwarelist>\n";
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size()) {
    text.replace(pos, from.size(), to);
  }
  return text;
}

// Everything a user can see of one session over the same files, with the datafile's name and
// the run's folder taken out.
std::string Session(const std::string& datafile, const std::string& contents) {
  TempDir root;
  WriteFile(root.Path("home/datfiles/" + datafile), contents);
  WriteZip(root.Path("in/sg.zip"), {ZipMember(kA.name, kA.data), ZipMember(kB.name, kB.data, 8)});
  WriteFile(root.Path("in/x.bin"), kSolo.data);
  WriteFile(root.Path("in/other.bin"), "no rom at all");
  CliRun run = RunCli(
      CARTIDEX_CLI,
      {"--home", "home", "--keep-log", "log.txt", "--rename", "--move-known", "sorted/<system>",
       "--move-unknown", "unknown", "directory", "in", "generate", "lists"},
      root.path());
  EXPECT_EQ(run.status, 0) << run.err;
  std::string seen = run.out + ReadFile(root.Path("log.txt"));
  for (const std::string& file : ListTree(root.path())) {
    if (file.starts_with("home/datfiles/") || file == "log.txt") continue;
    seen += "\n[" + file + "]\n" + ReadFile(root.Path(file));
  }
  return Replace(Replace(seen, datafile, "DATAFILE"), root.path(), "ROOT");
}

TEST(DatSetsTest, EveryFormatActsLikeTheOwnFormat) {
  const std::string own = Session("sets.cxi", OwnFormat());
  // The own format's session is the reference: check that it did the work.
  EXPECT_NE(own.find(" Found set: Super Game (Rev 1.1).zip\r\n"), std::string::npos) << own;
  EXPECT_NE(own.find("[home/sorted/Test System/Super Game (Rev 1.1).zip]"), std::string::npos);
  EXPECT_NE(own.find("[home/sorted/Test System/solo.bin]"), std::string::npos);
  EXPECT_NE(own.find("[home/unknown/other.bin]"), std::string::npos);
  EXPECT_NE(own.find("Owning Test System sets:\r\n\r\nSuper Game (Rev 1.1)\r\n"),
            std::string::npos);
  EXPECT_NE(own.find("Missing Test System sets:\r\n\r\nSolo\r\nMissing Game\r\n"),
            std::string::npos);

  EXPECT_EQ(Session("sets.dat", Logiqx()), own);
  EXPECT_EQ(Session("sets.dat", ClrMamePro()), own);
  EXPECT_EQ(Session("sets.xml", SoftwareList()), own);
}

}  // namespace
}  // namespace cartidex::test
