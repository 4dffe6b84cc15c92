// RomRecord: one ROM as the database holds it, and the result of a lookup or an identification.
#ifndef CARTIDEX_ROMDB_ROM_RECORD_H_
#define CARTIDEX_ROMDB_ROM_RECORD_H_

#include <cstdint>
#include <string>

namespace cartidex {

// Special values of an identification result: the name "Unknown" means not identified; a CRC-32
// and size of kArchiveMark mark an archive; a set index and slot of -1 a plain file not found.
inline constexpr const char* kUnknown = "Unknown";
inline constexpr uint32_t kArchiveMark = 0xFFFFFFFEu;

struct RomRecord {
  std::string name = kUnknown;
  std::string system = kUnknown;
  uint32_t crc = 0;
  uint32_t size = 0;
  int32_t set_index = 0;
  int32_t slot = 0;
};

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_ROM_RECORD_H_
