// SetRecord: one set, the group of ROMs that one archive of a collection should hold, as the
// database gives it for reading. Its texts and lists are views into the database's storage: they
// stay valid until the database next loads or adds.
#ifndef CARTIDEX_ROMDB_SET_RECORD_H_
#define CARTIDEX_ROMDB_SET_RECORD_H_

#include <cstdint>
#include <span>
#include <string_view>

namespace cartidex {

struct SetRecord {
  // Indices into the ROM table, in datafile order, with a found flag per slot.
  std::span<const int32_t> rom_indices;
  std::span<const uint8_t> found;
  // File name of the set's zip archive, always ending in ".zip", and the name shown and listed;
  // the loaders make both the same.
  std::string_view archive_name;
  std::string_view display_name;
  // An archive holding the whole set has been identified since the last load.
  bool owned = false;

  int32_t rom_count() const { return static_cast<int32_t>(rom_indices.size()); }
};

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_SET_RECORD_H_
