// Start-up and shutdown, shared by every front-end.
#ifndef CARTIDEX_APP_STARTUP_H_
#define CARTIDEX_APP_STARTUP_H_

#include <memory>
#include <string>

#include "platform/env.h"

namespace cartidex {

inline constexpr const char kCaption[] = "Cartidex 1.3.1";

// Takes `home` as the program's folder (empty: the executable's folder) and locks it for this
// process, so that no other Cartidex on the same folder empties its scratch folder or deletes its
// log meanwhile. The lock lasts while *lock lives and never outlives the process, however that
// ends. False when another process holds it: the front-end then says so and does nothing else. A
// folder whose file system keeps no locks is used without one.
bool ClaimProgramFolder(const std::string& home, std::unique_ptr<FolderLock>* lock);

// Takes `home` as the program's folder (empty: the executable's folder) before anything else,
// starts the log afresh there, resets the session, makes the folder current, empties its `tmp`
// folder of files and loads the datafiles, logging each step.
void Startup(const std::string& home);

// Logs "Cartidex quitted", copies the log byte for byte to `keep_log_copy` when it is not empty,
// and deletes the log.
void Shutdown(const std::string& keep_log_copy = std::string());

}  // namespace cartidex

#endif  // CARTIDEX_APP_STARTUP_H_
