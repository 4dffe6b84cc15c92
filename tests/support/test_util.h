// Helpers shared by the tests: temporary folders, files on disk, forged games and CRC-32s, the
// log, cartidex-cli run from outside.
#ifndef CARTIDEX_TESTS_SUPPORT_TEST_UTIL_H_
#define CARTIDEX_TESTS_SUPPORT_TEST_UTIL_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cartidex::test {

// A folder under the system's temporary folder, removed with all it holds.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string Path(std::string_view relative) const;

 private:
  std::string path_;
};

// A relative path written with '/' as this platform's user types it (on Windows with "\\").
std::string NativePath(std::string_view relative);

// WriteFile creates missing folders; ReadFile fails the test when it cannot read.
void WriteFile(const std::string& path, std::string_view contents);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
void MakeDirs(const std::string& path);
// The relative paths of every file below `root`, sorted.
std::vector<std::string> ListTree(const std::string& root);

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

uint32_t Crc32(std::string_view data);
// `prefix` followed by four bytes chosen so that the CRC-32 of the whole is `crc`.
std::string ForgeCrc(std::string_view prefix, uint32_t crc);

// A program folder (datfiles, tmp) for one test; database, session and log are reset around it.
class TestHome {
 public:
  TestHome();
  ~TestHome();
  const std::string& path() const { return dir_.path(); }
  std::string Path(std::string_view relative) const { return dir_.Path(relative); }
  void AddDatafile(std::string_view name, std::string_view contents);
  std::string Log() const;

 private:
  TempDir dir_;
};

// cartidex-cli run as a user would from a shell, from the folder `cwd`, its input empty.
struct CliRun {
  int status = -1;
  std::string out, err, log;  // log: the log the run kept, when the caller reads it
};
CliRun RunCli(const std::string& cli, const std::vector<std::string>& args, const std::string& cwd);

// Forged games and their datafiles.
inline const std::string kTetris = ForgeCrc(std::string(12, 'r'), 0x11111111);
inline const std::string kSonic1 = ForgeCrc(std::string(16, 'r'), 0x22222222);
inline const std::string kSonic2 = ForgeCrc(std::string(20, 'r'), 0x33333333);
inline const std::string kColumns = ForgeCrc(std::string(8, 'r'), 0x44444444);
inline const std::string kZelda = ForgeCrc(std::string(12, 'r'), 0x55555555);

inline constexpr const char* kGamesDatafile =
    "#console#;Game Boy\r\nTetris.gb;16;11111111\r\nZelda.gb;16;55555555\r\n"
    "#console#;Mega Drive\r\n"
    "Sonic Pack.zip:sonic1.bin:sonic2.bin;:20:24;:22222222:33333333\r\nColumns.md;12;44444444\r\n";
// The same games over two datafiles, under a nested system whose runs in both files gather.
inline constexpr const char* kNestedGamesDatafile1 =
    "#console#;Nintendo\\Game Boy\r\nTetris.gb;16;11111111\r\n#console#;Sega\r\n"
    "Sonic Pack.zip:sonic1.bin:sonic2.bin;:20:24;:22222222:33333333\r\nColumns.md;12;44444444\r\n";
inline constexpr const char* kNestedGamesDatafile2 =
    "#console#;Nintendo\\Game Boy\r\nZelda.gb;16;55555555\r\n";

inline std::string Hex8(uint32_t crc) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(crc));
  return text;
}

// The datafile line "Set.zip:a:b;:size:size;:CRC:CRC" of a set of (name, contents).
inline std::string SetLine(const std::string& set,
                           const std::vector<std::pair<std::string, std::string>>& roms) {
  std::string names = set, sizes, crcs;
  for (const auto& [name, contents] : roms) {
    names += ":" + name;
    sizes += ":" + std::to_string(contents.size());
    crcs += ":" + Hex8(Crc32(contents));
  }
  return names + ";" + sizes + ";" + crcs + "\r\n";
}

inline std::string RomLine(const std::string& name, const std::string& contents) {
  return name + ";" + std::to_string(contents.size()) + ";" + Hex8(Crc32(contents)) + "\r\n";
}

// The log line of a plain file (or an archive's member) whose CRC-32 was looked up.
inline std::string OpenedLine(const std::string& path, const std::string& contents, bool found) {
  return "Opened: " + path + " Size: " + std::to_string(contents.size()) +
         " CRC32: " + std::to_string(Crc32(contents)) + " Found: " + (found ? "I" : "No") + "\r\n";
}

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_SUPPORT_TEST_UTIL_H_
