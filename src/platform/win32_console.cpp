#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/console.h"

namespace cartidex {

// The C runtime opens stdout and stderr in text mode, which would turn every "\n" into CR LF;
// the headless front-end's output must be the same bytes on every platform.
void SetConsoleBinary() {
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

// _isatty also says yes for the null device; only a console has a console mode.
bool StderrIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace cartidex
#endif  // _WIN32
