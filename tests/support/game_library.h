// Forged games for the tests that identify, rename, move and list them, and their datafiles.
#ifndef CARTIDEX_TESTS_SUPPORT_GAME_LIBRARY_H_
#define CARTIDEX_TESTS_SUPPORT_GAME_LIBRARY_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "support/test_util.h"

namespace cartidex::test {

// Contents of `size` bytes (at least 4) whose CRC-32 is `crc`.
inline std::string ForgedRom(uint32_t size, uint32_t crc) {
  return ForgeCrc(std::string(size - 4, 'r'), crc);
}

inline const std::string kTetris = ForgedRom(16, 0x11111111);
inline const std::string kSonic1 = ForgedRom(20, 0x22222222);
inline const std::string kSonic2 = ForgedRom(24, 0x33333333);
inline const std::string kColumns = ForgedRom(12, 0x44444444);
inline const std::string kZelda = ForgedRom(16, 0x55555555);

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

// A CRC-32 in eight upper-case hexadecimal digits.
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

// The datafile line "name;size;CRC" of one ROM.
inline std::string RomLine(const std::string& name, const std::string& contents) {
  return name + ";" + std::to_string(contents.size()) + ";" + Hex8(Crc32(contents)) + "\r\n";
}

// The log line of a plain file (or an archive's member) whose CRC-32 was looked up.
inline std::string OpenedLine(const std::string& path, const std::string& contents, bool found) {
  return "Opened: " + path + " Size: " + std::to_string(contents.size()) +
         " CRC32: " + std::to_string(Crc32(contents)) + " Found: " + (found ? "I" : "No") + "\r\n";
}

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_SUPPORT_GAME_LIBRARY_H_
