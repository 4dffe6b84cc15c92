// Writes the seed corpora of the fuzz targets: make_corpus OUT_DIR writes OUT_DIR/NAME/seed-N for
// every target NAME that has seeds. Seeds are small valid (and nearly valid) inputs that reach
// every branch a fuzzer would otherwise have to find by chance: every kind of datafile line and
// line end, the refusals, CRC-32 texts, argument lists, and zip archives for the archive target.
#include <zip.h>

#include <cstdio>
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
            WriteSeeds(out + "/zip", ZipSeeds(out + "/scratch.zip"));
  return ok ? 0 : 1;
}
