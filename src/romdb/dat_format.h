// Reading a DAT of any of the formats that collectors get from the preservation groups, told
// apart by their contents rather than their file names (".dat" is used for all of them).
#ifndef CARTIDEX_ROMDB_DAT_FORMAT_H_
#define CARTIDEX_ROMDB_DAT_FORMAT_H_

#include <string>

#include <span>
#include <string>

#include "romdb/dat_file.h"

namespace cartidex {

// Reads a DAT whole into *dat: XML (a Logiqx datafile or a software list) when it opens with a
// UTF-16 byte-order mark or its first byte after a UTF-8 one and blanks is '<', ClrMamePro text
// otherwise. *contents may be
// changed, and *dat's names point into it: it must outlive *dat. False when the text is none of
// them or not well-formed; *dat is of no use then.
bool ReadDat(std::span<char> contents, DatFile* dat);
inline bool ReadDat(std::string* contents, DatFile* dat) {
  return ReadDat(std::span<char>(*contents), dat);
}

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_DAT_FORMAT_H_
