// The capacities of the data model, and how a datafile's set that exceeds one is refused: whole,
// with a log line " ! Line N skipped: REASON".
#ifndef CARTIDEX_ROMDB_SET_LIMITS_H_
#define CARTIDEX_ROMDB_SET_LIMITS_H_

#include <cstddef>
#include <cstdint>

namespace cartidex {

inline constexpr uint32_t kMaxRoms = 131072;
inline constexpr uint32_t kMaxSets = 65536;
inline constexpr int32_t kMaxRomsPerSet = 128;
// Bytes of a ROM name, a system or a set name (the set name with its ".zip").
inline constexpr size_t kMaxText = 127;

// Refusal reasons, in the order in which they are tested.
inline constexpr char kTooManyRoms[] = "too many roms";
inline constexpr char kMissingFields[] = "missing fields";
inline constexpr char kTextTooLong[] = "text too long";
inline constexpr char kRomTableFull[] = "rom table full";
inline constexpr char kSetTableFull[] = "set table full";
inline constexpr char kBadNumber[] = "bad number";

// Logs " ! Line N skipped: REASON\r\n".
void LogSkippedLine(uint64_t line, const char* reason);

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_SET_LIMITS_H_
