// The datafiles: every "*.cxi" file of the `datfiles` folder, one line per set, with
// "#console#;SYSTEM" lines naming the system of the sets that follow; and the DATs beside them.
#ifndef CARTIDEX_ROMDB_DATAFILE_LOADER_H_
#define CARTIDEX_ROMDB_DATAFILE_LOADER_H_

#include <string>
#include <string_view>

namespace cartidex {

class RomDatabase;

// Empties the database and loads every datafile of the `datfiles` folder (created when missing):
// the "*.cxi" files, then the "*.dat" files, then the "*.xml" files, each kind in listing order,
// logging "Loading datafiles :" and a " - NAME" line per file.
void LoadDatafiles();

// Logs " - NAME" and loads one datafile of the `datfiles` folder into Database(): a ".cxi" file in
// the own format, any other as a DAT recognised by its contents (Logiqx XML, ClrMamePro text or a
// software list). A DAT that is none of them or not well-formed adds nothing and is logged
// " ! Not a datafile".
void LoadDatafile(const std::string& name);

// How many cores a load may use: a datafile can be read in two halves, the second into tables
// of its own on a second core, joined after. The result is the same either way.
enum class LoadCores {
  // Two for a large datafile on a machine that has them; the first takes the second half back
  // when the second core has not begun it by the time the first half is done.
  kAsFits,
  kOne,
  kTwo,  // two whenever the datafile has a line start after its middle, waiting for the second
};

// Parses the contents of one datafile in the own format into `db`. Lines end at CR LF, a lone LF,
// a lone CR or a NUL; a NUL where a line would begin ends the parse; a leading UTF-8 byte-order
// mark is skipped. A set line that would exceed a capacity is refused whole and logged.
void ParseOwnDatafile(std::string_view contents, RomDatabase* db,
                      LoadCores cores = LoadCores::kAsFits);

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_DATAFILE_LOADER_H_
