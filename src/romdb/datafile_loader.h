// The datafiles: every "*.cxi", "*.dat" and "*.xml" file of the `datfiles` folder beside the
// executable, read into Database().
#ifndef CARTIDEX_ROMDB_DATAFILE_LOADER_H_
#define CARTIDEX_ROMDB_DATAFILE_LOADER_H_

#include <cstdint>
#include <string>

#include "romdb/cxi_reader.h"  // ParseOwnDatafile, for a text already in memory

namespace cartidex {

// Empties the database and loads every datafile of the `datfiles` folder (created when missing):
// the "*.cxi" files, then the "*.dat" files, then the "*.xml" files, each kind in listing order,
// logging "Loading datafiles :" and a " - NAME" line per file.
void LoadDatafiles();

// Logs " - NAME" and loads one datafile of the `datfiles` folder into Database(): a ".cxi" file in
// the own format (cxi_reader.h), any other as a DAT recognised by its contents (Logiqx XML,
// ClrMamePro text or a software list). A DAT that is none of them or not well-formed adds nothing
// and is logged " ! Not a datafile". A file that is not a regular file or cannot be read adds
// nothing and gets the "Cannot read: PATH" line; one over kMaxDatafileSize, or one that memory
// cannot hold, gets "Too large to load: PATH".
void LoadDatafile(const std::string& name);

// The largest datafile read: far above any real DAT (the largest known are a few hundred MiB),
// far below the memory of the machines the program runs on.
inline constexpr uint64_t kMaxDatafileSize = uint64_t{512} << 20;

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_DATAFILE_LOADER_H_
