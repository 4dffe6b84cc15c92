// The loaded tables and a parsed DAT as text, so that tests compare them whole at a glance.
#ifndef CARTIDEX_TESTS_ROMDB_DESCRIBE_H_
#define CARTIDEX_TESTS_ROMDB_DESCRIBE_H_

#include <cstdio>
#include <string>

#include "romdb/dat_file.h"
#include "romdb/rom_database.h"

namespace cartidex {

inline std::string DescribeRom(std::string_view name, uint32_t size, uint32_t crc) {
  char numbers[32];
  std::snprintf(numbers, sizeof numbers, "=%u/%08X", size, crc);
  return std::string(name) + numbers;
}

// "[SET rom@system=size/CRC ...]" for every set, in table order.
inline std::string Describe(const RomDatabase& db) {
  std::string out;
  for (uint32_t s = 0; s < db.GetSetCount(); ++s) {
    out += "[" + std::string(db.GetSet(s).display_name);
    for (const int32_t r : db.GetSet(s).rom_indices) {
      const RomRecord rom = db.GetRom(static_cast<uint32_t>(r));
      out += " " + DescribeRom(rom.name + "@" + rom.system, rom.size, rom.crc);
    }
    out += "]";
  }
  return out;
}

// "[GAME@LINE rom=size/CRC ...]" for every game, with '!' after the line for a malformed number.
inline std::string Describe(const DatFile& dat) {
  std::string out;
  for (const DatGame& g : dat.games()) {
    out += "[" + std::string(g.name) + "@" + std::to_string(g.line) + (g.bad_number ? "!" : "");
    for (const ParsedRom& r : dat.roms(g)) out += " " + DescribeRom(r.name, r.size, r.crc);
    out += "]";
  }
  return out;
}

}  // namespace cartidex

#endif  // CARTIDEX_TESTS_ROMDB_DESCRIBE_H_
