// Adding one set of a datafile to the database, all or nothing: a set that would exceed a
// capacity is refused whole, and the refusal is logged as " ! Line N skipped: REASON".
#ifndef CARTIDEX_ROMDB_SET_BUILDER_H_
#define CARTIDEX_ROMDB_SET_BUILDER_H_

#include <cstdint>
#include <span>
#include <string_view>

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

// The first capacity that the set would exceed, or nullptr when it fits: too many ROMs, a name,
// the set's name (FormSetName of `name`) or the system over kMaxText, no room for its ROMs in the
// ROM table, or none for the set.
const char* CheckSet(const RomDatabase& db, std::string_view name, std::span<const ParsedRom> roms,
                     std::string_view system);

// Adds the ROMs and then the set when CheckSet passes; returns CheckSet's answer.
const char* AddCheckedSet(RomDatabase* db, std::string_view name, std::span<const ParsedRom> roms,
                          std::string_view system);

// CheckSet and AddCheckedSet for a set whose name is `set_name` exactly (AddSetExact).
const char* CheckSetExact(const RomDatabase& db, std::string_view set_name,
                          std::span<const ParsedRom> roms, std::string_view system);
const char* AddCheckedSetExact(RomDatabase* db, std::string_view set_name,
                               std::span<const ParsedRom> roms, std::string_view system);

// Logs " ! Line N skipped: REASON\r\n".
void LogSkippedLine(uint64_t line, const char* reason);

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_SET_BUILDER_H_
