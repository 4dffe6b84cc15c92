// The have and missing lists of "Generate".
#ifndef CARTIDEX_ACTIONS_SET_LISTS_H_
#define CARTIDEX_ACTIONS_SET_LISTS_H_

#include <string>

#include "actions/file_outcome.h"

namespace cartidex {

// Writes SYSTEM_have.txt and SYSTEM_miss.txt into `folder` for every system of the database, and
// with `settings.fixdat` SYSTEM_miss.dat, the missing sets as a Logiqx DAT named "SYSTEM fixdat".
// Nothing is written into the program's `tmp` or `datfiles` folder or below; every list that is
// not written is logged as such. In a dry run nothing is written or made: each list that would
// be written is logged "Would write: PATH\r\n".
void WriteSetLists(const std::string& folder, const ActionSettings& settings);

}  // namespace cartidex

#endif  // CARTIDEX_ACTIONS_SET_LISTS_H_
