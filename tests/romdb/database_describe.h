// The loaded tables as text, so that tests can compare a whole database at a glance.
#ifndef CARTIDEX_TESTS_ROMDB_DATABASE_DESCRIBE_H_
#define CARTIDEX_TESTS_ROMDB_DATABASE_DESCRIBE_H_

#include <cstdio>
#include <string>

#include "romdb/rom_database.h"

namespace cartidex {

// "[SET rom@system=size/CRC ...]" for every set, in table order.
inline std::string Describe(const RomDatabase& db) {
  std::string out;
  for (uint32_t s = 0; s < db.GetSetCount(); ++s) {
    const SetRecord& set = db.GetSet(s);
    out += "[";
    out += set.display_name;
    for (int32_t r : set.rom_indices) {
      RomRecord rom = db.GetRom(static_cast<uint32_t>(r));
      char numbers[32];
      std::snprintf(numbers, sizeof numbers, "%u/%08X", rom.size, rom.crc);
      out += " " + rom.name + "@" + rom.system + "=" + numbers;
    }
    out += "]";
  }
  return out;
}

}  // namespace cartidex

#endif  // CARTIDEX_TESTS_ROMDB_DATABASE_DESCRIBE_H_
