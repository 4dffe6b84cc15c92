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

// What lookups find, the index as they see it: for some 600 entries spread over the table, the
// first four entries found with their CRC-32 and size from 0, and with an absent size.
inline std::string DescribeLookups(const RomDatabase& db) {
  std::string out;
  const uint32_t n = db.GetRomCount();
  const uint32_t stride = n > 512 ? n / 64 : 1;
  for (uint32_t i = 0; i < n; i = i < 512 ? i + 1 : i + stride) {
    const RomRecord key = db.GetRom(i);
    for (const uint32_t size : {key.size, ~key.size}) {
      uint32_t index = 0;
      bool found = true;
      for (int step = 0; step < 4 && found; ++step) {
        db.FindRom(key.crc, size, &found, &index);
        out += found ? std::to_string(index) + " " : "- ";
      }
      out += "|";
    }
  }
  return out;
}

}  // namespace cartidex

#endif  // CARTIDEX_TESTS_ROMDB_DATABASE_DESCRIBE_H_
