// Adding one set of a datafile to the database, all or nothing: a set that would exceed a
// capacity is refused whole, and the refusal is logged as " ! Line N skipped: REASON".
#ifndef CARTIDEX_ROMDB_SET_BUILDER_H_
#define CARTIDEX_ROMDB_SET_BUILDER_H_

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>

#include "romdb/capacities.h"

namespace cartidex {

class RomDatabase;

struct ParsedRom {
  std::string_view name;
  uint32_t size = 0;
  uint32_t crc = 0;
};

// Refusal reasons, in the order in which they are tested.
inline constexpr const char* kTooManyRoms = "too many roms";
inline constexpr const char* kMissingFields = "missing fields";
inline constexpr const char* kTextTooLong = "text too long";
inline constexpr const char* kRomTableFull = "rom table full";
inline constexpr const char* kSetTableFull = "set table full";
inline constexpr const char* kBadNumber = "bad number";

// The first capacity that the set's texts or count exceed, or nullptr when they fit: too many
// ROMs; a ROM's name, the set's name (of `set_name_size` bytes) or the system over kMaxText.
// `roms` is a range of anything with a `name`.
template <typename Roms>
const char* CheckSetTexts(size_t set_name_size, const Roms& roms, std::string_view system) {
  if (std::size(roms) > static_cast<size_t>(kMaxRomsPerSet)) return kTooManyRoms;
  if (system.size() > kMaxText || set_name_size > kMaxText) return kTextTooLong;
  for (const auto& rom : roms) {
    if (rom.name.size() > kMaxText) return kTextTooLong;
  }
  return nullptr;
}
// Both checks, in that order, for a set whose name is `set_name` exactly (AddSetExact).
const char* CheckSetExact(const RomDatabase& db, std::string_view set_name,
                          std::span<const ParsedRom> roms, std::string_view system);
// Adds the ROMs and then the set when CheckSetExact passes; returns CheckSetExact's answer.
const char* AddCheckedSetExact(RomDatabase* db, std::string_view set_name,
                               std::span<const ParsedRom> roms, std::string_view system);

// Logs " ! Line N skipped: REASON\r\n".
void LogSkippedLine(uint64_t line, const char* reason);

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_SET_BUILDER_H_
