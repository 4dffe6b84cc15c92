#ifndef _WIN32
#include "platform/console.h"

namespace cartidex {

// POSIX streams never translate line ends.
void SetConsoleBinary() {}

}  // namespace cartidex
#endif  // !_WIN32
