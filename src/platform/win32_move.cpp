#ifdef _WIN32
#include "platform/win32_move.h"

#include <windows.h>

#include <cstdio>
#include <string_view>

#include "platform/path.h"
#include "platform/win32_status.h"

namespace cartidex {

namespace {

// Closes a handle when it goes out of scope.
class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE h) : h_(h) {}
  ~OwnedHandle() {
    if (valid()) CloseHandle(h_);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }

 private:
  HANDLE h_;
};

bool IsLink(const std::string& path) {
  WIN32_FIND_DATAA data;
  HANDLE find =
      FindFirstFileExA(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         IsLinkReparseTag(data.dwReserved0);
}

// True when both paths have one folder text, ASCII letter case aside, as a rename has.
bool SameFolderText(const std::string& a, const std::string& b) {
  return EqualIgnoringAsciiCase(FolderOf(a), FolderOf(b));
}

// True when `from` still names the file open as `source`, which still has the size and last
// write time it had before the copy (`before`).
bool SourceUnchanged(HANDLE source, const std::string& from,
                     const BY_HANDLE_FILE_INFORMATION& before) {
  BY_HANDLE_FILE_INFORMATION now, named;
  OwnedHandle h(CreateFileA(from.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h.valid() || !GetFileInformationByHandle(source, &now) ||
      !GetFileInformationByHandle(h.get(), &named)) {
    return false;
  }
  return now.nFileSizeHigh == before.nFileSizeHigh && now.nFileSizeLow == before.nFileSizeLow &&
         CompareFileTime(&now.ftLastWriteTime, &before.ftLastWriteTime) == 0 &&
         named.dwVolumeSerialNumber == before.dwVolumeSerialNumber &&
         named.nFileIndexHigh == before.nFileIndexHigh &&
         named.nFileIndexLow == before.nFileIndexLow;
}

// Copies `from` to a hidden temporary name beside `to`. Windows has no unnamed file that could
// be linked into place later: a process that dies during the copy leaves this temporary behind.
Status CopyBeside(const std::string& from, const std::string& to, std::string* temp) {
  const std::string folder(FolderOf(to));
  for (unsigned attempt = 0;; ++attempt) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".cartidex-move-%08lx-%u",
                  static_cast<unsigned long>(GetCurrentProcessId()), attempt);
    *temp = folder + suffix;
    if (!PathFits(*temp)) return TooLong(*temp);
    // CopyFileA with "fail if exists" never replaces a file that someone else made meanwhile.
    if (CopyFileA(from.c_str(), temp->c_str(), TRUE)) return Status::Ok();
    DWORD err = GetLastError();
    if ((err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) || attempt >= 100) {
      DeleteFileA(temp->c_str());
      return Win32Status(from, err);
    }
  }
}

Status CopyAcrossVolumes(const std::string& from, const std::string& to) {
  // The source stays open, shared for reading only, until it is deleted: nobody can write to it
  // during the copy, and a file that somebody is still writing (a download) cannot be opened so,
  // and is not moved.
  OwnedHandle source(CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!source.valid()) return LastError(from);
  BY_HANDLE_FILE_INFORMATION before;
  if (!GetFileInformationByHandle(source.get(), &before)) return LastError(from);
  if ((before.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      GetFileType(source.get()) != FILE_TYPE_DISK) {
    return Status::Error(Status::Code::kInvalid, from + ": not a file");
  }
  if (GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return Win32Status(to, ERROR_ALREADY_EXISTS);
  }
  std::string temp;
  Status s = CopyBeside(from, to, &temp);
  if (!s.ok()) return s;
  if (!MoveFileExA(temp.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
    s = LastError(to);
    DeleteFileA(temp.c_str());
    return s;
  }
  // The copy is in place: on any failure from here on it goes again, so the file exists once.
  if (!SourceUnchanged(source.get(), from, before)) {
    DeleteFileA(to.c_str());
    return Status::IoError(from + ": changed while it was copied");
  }
  if (!DeleteFileA(from.c_str())) {
    s = LastError(from);
    DeleteFileA(to.c_str());
    return s;
  }
  return Status::Ok();
}

}  // namespace

Status MoveWithoutReplacing(const std::string& from, const std::string& to) {
  if (!PathFits(from)) return TooLong(from);
  if (!PathFits(to)) return TooLong(to);
  if (IsLink(from) && !SameFolderText(from, to)) {
    return Status::Error(Status::Code::kInvalid, from + ": a link is not moved to another folder");
  }
  // Without MOVEFILE_REPLACE_EXISTING an existing target is never replaced; without
  // MOVEFILE_COPY_ALLOWED another volume is refused, and copied below instead.
  if (MoveFileExA(from.c_str(), to.c_str(), 0)) return Status::Ok();
  DWORD err = GetLastError();
  if (err != ERROR_NOT_SAME_DEVICE) return Win32Status(to, err);
  return CopyAcrossVolumes(from, to);
}

}  // namespace cartidex

#endif  // _WIN32
