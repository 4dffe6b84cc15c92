// A move or rename on POSIX that never replaces its target, across file systems too.
#ifndef CARTIDEX_PLATFORM_POSIX_MOVE_H_
#define CARTIDEX_PLATFORM_POSIX_MOVE_H_

#include <string>

#include "platform/status.h"

namespace cartidex {

// Env::MoveFile on POSIX.
Status MoveWithoutReplacing(const std::string& from, const std::string& to);

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_POSIX_MOVE_H_
