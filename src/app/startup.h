// Start-up and shutdown, shared by every front-end.
#ifndef CARTIDEX_APP_STARTUP_H_
#define CARTIDEX_APP_STARTUP_H_

#include <string>

namespace cartidex {

inline constexpr const char kCaption[] = "Cartidex 1.3.1";

// Takes `home` as the program's folder (empty: the executable's folder) before anything else,
// starts the log afresh there, resets the session, makes the folder current, empties its `tmp`
// folder of files and loads the datafiles, logging each step.
void Startup(const std::string& home);

// Logs "Cartidex quitted", copies the log byte for byte to `keep_log_copy` when it is not empty,
// and deletes the log.
void Shutdown(const std::string& keep_log_copy = std::string());

}  // namespace cartidex

#endif  // CARTIDEX_APP_STARTUP_H_
