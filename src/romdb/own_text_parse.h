// ParseOwnText: one piece of an own-format datafile into a database, the whole file or one of the
// two halves that a large file is read in on two cores.
#ifndef CARTIDEX_ROMDB_OWN_TEXT_PARSE_H_
#define CARTIDEX_ROMDB_OWN_TEXT_PARSE_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "romdb/rom_record.h"

namespace cartidex {

class RomDatabase;

// Where a piece begins.
struct OwnTextStart {
  bool file_start = true;              // a UTF-8 byte-order mark may open it
  std::string_view system = kUnknown;  // the system of the sets before its first system line
  uint64_t lines_before = 0;           // its first line's number is this plus one
};

// Where a piece ended.
struct OwnTextEnd {
  uint64_t lines = 0;                  // the lines read
  bool stopped = false;                // a NUL where a line would begin ended it early
  std::string_view system = kUnknown;  // the system in force at its end
};

struct OwnRefusal {
  uint64_t line;
  const char* reason;
};

// Parses `text` into `db`, as the lines of a datafile that begin at `start`. Refused lines are
// logged as " ! Line N skipped: REASON", or, when `refused` is given, added to it instead.
OwnTextEnd ParseOwnText(std::string_view text, const OwnTextStart& start, RomDatabase* db,
                        std::vector<OwnRefusal>* refused = nullptr);

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_OWN_TEXT_PARSE_H_
