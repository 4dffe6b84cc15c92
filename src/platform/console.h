// The console of the headless front-end.
#ifndef CARTIDEX_PLATFORM_CONSOLE_H_
#define CARTIDEX_PLATFORM_CONSOLE_H_

namespace cartidex {

// Makes stdout and stderr write bytes as given (no "\n" to CR LF translation on Windows).
void SetConsoleBinary();

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_CONSOLE_H_
