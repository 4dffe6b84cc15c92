#ifndef _WIN32
#include <unistd.h>

#include "platform/console.h"

namespace cartidex {

// POSIX streams never translate line ends.
void SetConsoleBinary() {}

bool StderrIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace cartidex
#endif  // !_WIN32
