// The own datafiles ("*.cxi"): one set per line, and "#console#;SYSTEM" lines naming the system
// of the sets that follow. Bytes are taken as they stand: no escapes, no quoting, no trimming.
//
// Lines end at CR LF, a lone LF, a lone CR or a NUL; a NUL where a line would begin ends the
// file; a UTF-8 byte-order mark at the start of the file is skipped. Within a line ';' separates
// groups and ':' separates the fields of a group.
// - A line whose first field is exactly "#console#" and that has a second group is a system
//   line: the first field of the second group becomes the system (until then "Unknown").
// - Any other line of three groups or more is a set line: "SET:ROM1:ROM2...;X:SIZE1:SIZE2...;
//   Y:CRC1:CRC2...", or "SET;SIZE;CRC" for a set of one ROM named like the set itself. Sizes are
//   read by StrToInt and CRC-32s by ParseHex. The set's name is SET cut at its last '.',
//   then ".zip" ('Demo 1.1' gives 'Demo 1.zip', 'Demo' gives 'Demo.zip', '.cfg' gives '.zip').
// - Other lines are passed over.
// A line beyond a capacity is refused whole and logged " ! Line N skipped: REASON": more than
// kMaxRomsPerSet ROMs, fewer sizes or CRC-32s than ROM names, a field it reads over kMaxField
// bytes, then the database's own checks (RomDatabase::CheckSet).
#ifndef CARTIDEX_ROMDB_CXI_READER_H_
#define CARTIDEX_ROMDB_CXI_READER_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace cartidex {

class RomDatabase;

// The longest field of a line that a system or set line reads, in bytes.
inline constexpr size_t kMaxField = 259;

// Adds the sets of one own datafile's contents to `db`, logging the lines it refuses.
void ParseOwnDatafile(std::string_view contents, RomDatabase* db);

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_CXI_READER_H_
