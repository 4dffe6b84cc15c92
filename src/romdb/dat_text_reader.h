// The ClrMamePro text DATs: a `clrmamepro ( name "..." ... )` header and `game ( ... )` blocks
// (also `machine` and `resource`) whose `rom ( name ... size ... crc ... )` entries list the ROMs.
// Entries are key and value pairs; a value is a bare word, a quoted text or a nested block.
#ifndef CARTIDEX_ROMDB_DAT_TEXT_READER_H_
#define CARTIDEX_ROMDB_DAT_TEXT_READER_H_

#include <string_view>

#include "romdb/dat_file.h"

namespace cartidex {

// Reads a ClrMamePro DAT whole into *dat, whose names point into `text`: it must outlive *dat.
// False when the text does not open like one (a block
// named "clrmamepro", "emulator", "game", "machine" or "resource"), or is not well-formed:
// unbalanced parentheses, an unclosed quote, or a value where a block or key belongs; *dat is of no
// use then.
bool ReadClrMameProDat(std::string_view text, DatFile* dat);

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_DAT_TEXT_READER_H_
