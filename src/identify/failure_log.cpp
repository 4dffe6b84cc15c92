#include "identify/failure_log.h"

#include <string>

#include "platform/activity_log.h"

namespace cartidex {

void LogIdentifyFailure(IdentifyFailure failure, std::string_view path) {
  std::string line(failure == IdentifyFailure::kCannotRead ? "Cannot read: " : "Cannot extract: ");
  line += path;
  line += "\r\n";
  WriteLog(line);
}

}  // namespace cartidex
