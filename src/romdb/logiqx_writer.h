// A Logiqx XML datafile made from sets of the database, which other collection tools read and
// which the DAT loader reads back as the same sets.
#ifndef CARTIDEX_ROMDB_LOGIQX_WRITER_H_
#define CARTIDEX_ROMDB_LOGIQX_WRITER_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "romdb/rom_database.h"

namespace cartidex {

// The text of a datafile whose header is named (and described) `name`, with one game per set of
// `set_indices` (loaded indices of `db`), in that order: the set's name without its ".zip", and
// every ROM with its name, size, CRC-32 and the SHA-1 or MD5 the database holds for it. Texts
// are escaped as XML asks.
std::string LogiqxDatText(const RomDatabase& db, std::string_view name,
                          std::span<const uint32_t> set_indices);

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_LOGIQX_WRITER_H_
