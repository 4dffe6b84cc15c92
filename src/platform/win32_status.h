// Win32 error codes as the platform's Status, for the Win32 files of the platform layer.
#ifndef CARTIDEX_PLATFORM_WIN32_STATUS_H_
#define CARTIDEX_PLATFORM_WIN32_STATUS_H_

#include <windows.h>

#include <string>

#include "platform/status.h"

namespace cartidex {

// `what`: the system's English message for `err`, with the Status code that fits it.
Status Win32Status(const std::string& what, DWORD err);
// Win32Status(what, GetLastError()).
Status LastError(const std::string& what);
// A path past the platform's limits.
Status TooLong(const std::string& path);

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_WIN32_STATUS_H_
