// The log lines that say why a file could not be identified. Written from here only, so that
// every such line reads the same.
#ifndef CARTIDEX_IDENTIFY_FAILURE_LOG_H_
#define CARTIDEX_IDENTIFY_FAILURE_LOG_H_

#include <string_view>

namespace cartidex {

enum class IdentifyFailure {
  kCannotRead,     // a file that cannot be opened or read whole, or is 4 GiB or larger
  kCannotExtract,  // an archive whose members could not all be extracted
};

// Logs "Cannot read: PATH\r\n" or "Cannot extract: PATH\r\n".
void LogIdentifyFailure(IdentifyFailure failure, std::string_view path);

}  // namespace cartidex

#endif  // CARTIDEX_IDENTIFY_FAILURE_LOG_H_
