// The console of the headless front-end.
#ifndef CARTIDEX_PLATFORM_CONSOLE_H_
#define CARTIDEX_PLATFORM_CONSOLE_H_

namespace cartidex {

// Makes stdout and stderr write bytes as given (no "\n" to CR LF translation on Windows).
void SetConsoleBinary();

// True when stderr is a terminal a person watches (not a file, a pipe or the null device), so
// that a line rewritten in place shows as one line.
bool StderrIsTerminal();

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_CONSOLE_H_
