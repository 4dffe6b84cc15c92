// A move or rename on Win32 that never replaces its target, across volumes too.
#ifndef CARTIDEX_PLATFORM_WIN32_MOVE_H_
#define CARTIDEX_PLATFORM_WIN32_MOVE_H_

#include <string>

#include "platform/status.h"

namespace cartidex {

// Env::MoveFile on Win32: a move to another volume copies beside the target, renames the copy
// into place, then deletes the source; on any failure the copy goes, so the file exists once.
Status MoveWithoutReplacing(const std::string& from, const std::string& to);

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_WIN32_MOVE_H_
