#include "romdb/set_limits.h"

#include <string>

#include "platform/activity_log.h"

namespace cartidex {

void LogSkippedLine(uint64_t line, const char* reason) {
  WriteLog(" ! Line " + std::to_string(line) + " skipped: " + reason + "\r\n");
}

}  // namespace cartidex
