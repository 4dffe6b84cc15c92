// A parsed DAT as text, so that tests can compare whole files at a glance.
#ifndef CARTIDEX_TESTS_ROMDB_DAT_DESCRIBE_H_
#define CARTIDEX_TESTS_ROMDB_DAT_DESCRIBE_H_

#include <cstdio>
#include <string>
#include <vector>

#include "romdb/dat_file.h"

namespace cartidex {

// Each game as "NAME@LINE[!]: rom/size/CRC ..." ('!' for a malformed number).
inline std::vector<std::string> Describe(const DatFile& dat) {
  std::vector<std::string> out;
  char crc[9];
  for (const DatGame& g : dat.games()) {
    std::string s =
        std::string(g.name) + "@" + std::to_string(g.line) + (g.bad_number ? "!" : "") + ":";
    for (const ParsedRom& r : dat.roms(g)) {
      std::snprintf(crc, sizeof crc, "%08X", r.crc);
      s += " " + std::string(r.name) + "/" + std::to_string(r.size) + "/" + crc;
    }
    out.push_back(s);
  }
  return out;
}

}  // namespace cartidex

#endif  // CARTIDEX_TESTS_ROMDB_DAT_DESCRIBE_H_
