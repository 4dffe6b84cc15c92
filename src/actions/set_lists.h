// The have and missing lists of "Generate".
#ifndef CARTIDEX_ACTIONS_SET_LISTS_H_
#define CARTIDEX_ACTIONS_SET_LISTS_H_

#include <string>

namespace cartidex {

// Writes SYSTEM_have.txt and SYSTEM_miss.txt into `folder` for every system of the database.
// Nothing is written into the program's `tmp` or `datfiles` folder or below; every list that is
// not written is logged as such.
void WriteSetLists(const std::string& folder);

}  // namespace cartidex

#endif  // CARTIDEX_ACTIONS_SET_LISTS_H_
