// Placeholder until the lists land.
#include "actions/set_lists.h"

namespace cartidex {

void WriteSetLists(const std::string& /*folder*/) {}

}  // namespace cartidex
