// The activity log, log.txt in the program's folder. Texts are appended exactly as given: no time
// stamps, no levels, no line ends added. Every text is handed to the OS before WriteLog returns;
// a log that cannot be written drops the text without a word.
#ifndef CARTIDEX_PLATFORM_ACTIVITY_LOG_H_
#define CARTIDEX_PLATFORM_ACTIVITY_LOG_H_

#include <string_view>

namespace cartidex {

// Appends `text` to the log, creating the log when it is missing.
void WriteLog(std::string_view text);
// Closes the log (if open) and deletes the file.
void DeleteLog();
// Closes the log, so that the file can be copied or removed by others.
void CloseLog();

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_ACTIVITY_LOG_H_
