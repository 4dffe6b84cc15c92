// SetRecord: one set, the group of ROMs that one archive of a collection holds.
#ifndef CARTIDEX_ROMDB_SET_RECORD_H_
#define CARTIDEX_ROMDB_SET_RECORD_H_

#include <cstdint>
#include <string>
#include <vector>

namespace cartidex {

struct SetRecord {
  // Indices into the ROM table, in datafile order, with a found flag per slot.
  std::vector<int32_t> rom_indices;
  std::vector<uint8_t> found;
  // File name of the set's zip archive, always ending in ".zip", and the name shown and listed;
  // the loaders make both the same.
  std::string archive_name;
  std::string display_name;
  // An archive holding the whole set has been identified since the last load.
  bool owned = false;

  int32_t rom_count() const { return static_cast<int32_t>(rom_indices.size()); }
};

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_SET_RECORD_H_
