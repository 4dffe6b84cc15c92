#include "identify/failure_log.h"

#include "platform/activity_log.h"

namespace cartidex {

void LogIdentifyFailure(IdentifyFailure failure, std::string_view path) {
  WriteLog(failure == IdentifyFailure::kCannotRead ? "Cannot read: " : "Cannot extract: ");
  WriteLog(path);
  WriteLog("\r\n");
}

}  // namespace cartidex
