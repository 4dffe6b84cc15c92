#ifdef _WIN32
#include "platform/win32_move.h"

#include <windows.h>

#include <cstdio>

#include "platform/path.h"
#include "platform/win32_status.h"

namespace cartidex {

namespace {

Status CopyAcrossVolumes(const std::string& from, const std::string& to) {
  const DWORD attributes = GetFileAttributesA(from.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return Status::Error(Status::Code::kInvalid, from + ": not a file");
  }
  if (GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return Win32Status(to, ERROR_ALREADY_EXISTS);
  }
  const std::string folder(FolderOf(to));
  std::string temp;
  for (unsigned attempt = 0;; ++attempt) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".cartidex-move-%08lx-%u",
                  static_cast<unsigned long>(GetCurrentProcessId()), attempt);
    temp = folder + suffix;
    if (!PathFits(temp)) return TooLong(temp);
    // CopyFileA with "fail if exists" never replaces a file that someone else made meanwhile.
    if (CopyFileA(from.c_str(), temp.c_str(), TRUE)) break;
    DWORD err = GetLastError();
    if ((err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) || attempt >= 100) {
      DeleteFileA(temp.c_str());
      return Win32Status(from, err);
    }
  }
  if (!MoveFileExA(temp.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
    Status s = LastError(to);
    DeleteFileA(temp.c_str());
    return s;
  }
  if (!DeleteFileA(from.c_str())) {
    // The source cannot go: take the copy back, so the file exists once.
    Status s = LastError(from);
    DeleteFileA(to.c_str());
    return s;
  }
  return Status::Ok();
}

}  // namespace

Status MoveWithoutReplacing(const std::string& from, const std::string& to) {
  if (!PathFits(from)) return TooLong(from);
  if (!PathFits(to)) return TooLong(to);
  // Without MOVEFILE_REPLACE_EXISTING an existing target is never replaced; without
  // MOVEFILE_COPY_ALLOWED another volume is refused, and copied below instead.
  if (MoveFileExA(from.c_str(), to.c_str(), 0)) return Status::Ok();
  DWORD err = GetLastError();
  if (err != ERROR_NOT_SAME_DEVICE) return Win32Status(to, err);
  return CopyAcrossVolumes(from, to);
}

}  // namespace cartidex

#endif  // _WIN32
