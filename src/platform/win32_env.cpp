// The Env over Win32, narrow-character ('A') calls throughout. Paths are bytes in the active code
// page, which the executables' manifest makes UTF-8, so names from the datafiles pass unchanged.
#ifdef _WIN32

// windows.h names several of its calls by macros (DeleteFile, MoveFile, ...) that would rename
// the Env's own methods: it comes first and those macros are dropped before env.h is read.
#include <windows.h>
#undef DeleteFile
#undef MoveFile
#undef GetCurrentDirectory
#undef SetCurrentDirectory

#include <string>
#include <vector>

#include "platform/env.h"
#include "platform/listing_order.h"
#include "platform/path.h"
#include "platform/win32_move.h"
#include "platform/win32_status.h"

namespace cartidex {

namespace {

// Closes a handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~Handle() { Reset(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE Release() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }
  void Reset() {
    if (valid()) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

// Ends a FindFirstFileA listing when it goes out of scope.
class FindHandle {
 public:
  explicit FindHandle(HANDLE h) : h_(h) {}
  ~FindHandle() {
    if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// WriteFile takes at most a DWORD at a time; this writes everything or fails.
Status WriteAll(HANDLE h, const char* data, size_t n, const std::string& path) {
  while (n > 0) {
    DWORD chunk = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n);
    DWORD written = 0;
    if (!WriteFile(h, data, chunk, &written, nullptr)) return LastError(path);
    if (written == 0) return Status::IoError(path + ": nothing written");
    data += written;
    n -= written;
  }
  return Status::Ok();
}

class Win32ReadableFile : public ReadableFile {
 public:
  Win32ReadableFile(HANDLE h, uint64_t size, std::string path)
      : h_(h), size_(size), path_(std::move(path)) {}
  uint64_t Size() const override { return size_; }
  Status Read(char* buffer, size_t n, size_t* got) override {
    *got = 0;
    DWORD chunk = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n);
    DWORD read = 0;
    if (!ReadFile(h_.get(), buffer, chunk, &read, nullptr)) return LastError(path_);
    *got = read;
    return Status::Ok();
  }

 private:
  Handle h_;
  uint64_t size_;
  std::string path_;
};

class Win32WritableFile : public WritableFile {
 public:
  Win32WritableFile(HANDLE h, std::string path) : h_(h), path_(std::move(path)) {}
  Status Append(std::string_view data) override {
    if (!h_.valid()) return Status::IoError(path_ + ": closed");
    return WriteAll(h_.get(), data.data(), data.size(), path_);
  }
  Status Close() override {
    if (!h_.valid()) return Status::Ok();
    if (!CloseHandle(h_.Release())) return LastError(path_);
    return Status::Ok();
  }

 private:
  Handle h_;
  std::string path_;
};

bool IsFolderAttributes(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// What an open handle names: a link when it was opened as one (FILE_FLAG_OPEN_REPARSE_POINT).
EntryType TypeOf(HANDLE h, DWORD attributes) {
  FILE_ATTRIBUTE_TAG_INFO tag;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
      GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) &&
      IsLinkReparseTag(tag.ReparseTag)) {
    return EntryType::kLink;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return EntryType::kFolder;
  return GetFileType(h) == FILE_TYPE_DISK ? EntryType::kFile : EntryType::kOther;
}

// The final path as the system gives it, without its "\\?\" prefix ("\\?\UNC\" becomes
// "\\").
std::string WithoutLongPrefix(std::string path) {
  if (path.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + path.substr(8);
  if (path.rfind("\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

// The lock of a folder: a hidden file in it, open without sharing for the life of the lock and
// deleted when it closes, which the system does at the process's end in any case.
class Win32FolderLock : public FolderLock {
 public:
  explicit Win32FolderLock(HANDLE h) : h_(h) {}

 private:
  Handle h_;
};

class Win32Env : public Env {
 public:
  Status OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) override {
    if (!PathFits(path)) return TooLong(path);
    // Writers are let in too: a file being written by another handle (the activity log, a
    // download in progress) can be read as it stands, as on POSIX.
    Handle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                         nullptr));
    if (!h.valid()) {
      DWORD err = GetLastError();
      if (IsFolderAttributes(GetFileAttributesA(path.c_str()))) {
        return Status::Error(Status::Code::kInvalid, path + ": not a regular file");
      }
      return Win32Status(path, err);
    }
    // Devices (CON, NUL, COM1, pipes) open like files: only disk files are read.
    if (GetFileType(h.get()) != FILE_TYPE_DISK) {
      return Status::Error(Status::Code::kInvalid, path + ": not a regular file");
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h.get(), &size)) return LastError(path);
    *file = std::make_unique<Win32ReadableFile>(h.Release(), static_cast<uint64_t>(size.QuadPart),
                                                path);
    return Status::Ok();
  }

  Status OpenForWrite(const std::string& path, WriteMode mode,
                      std::unique_ptr<WritableFile>* file) override {
    if (!PathFits(path)) return TooLong(path);
    DWORD access = GENERIC_WRITE;
    DWORD disposition = CREATE_ALWAYS;
    switch (mode) {
      case WriteMode::kReplace:
        disposition = CREATE_ALWAYS;
        break;
      case WriteMode::kNew:
        disposition = CREATE_NEW;
        break;
      case WriteMode::kAppend:
        // Append-only access: every write lands at the end, whoever else writes the file.
        access = FILE_APPEND_DATA | SYNCHRONIZE;
        disposition = OPEN_ALWAYS;
        break;
    }
    // Others may read and write meanwhile, as the activity log allows.
    Handle h(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) return LastError(path);
    if (GetFileType(h.get()) != FILE_TYPE_DISK) {
      return Status::Error(Status::Code::kInvalid, path + ": not a regular file");
    }
    *file = std::make_unique<Win32WritableFile>(h.Release(), path);
    return Status::Ok();
  }

  Status CreateFolder(const std::string& path) override {
    if (!PathFits(path)) return TooLong(path);
    if (!CreateDirectoryA(path.c_str(), nullptr)) return LastError(path);
    return Status::Ok();
  }

  Status DeleteFile(const std::string& path) override {
    if (!PathFits(path)) return TooLong(path);
    if (IsFolderAttributes(GetFileAttributesA(path.c_str()))) {
      return Status::Error(Status::Code::kInvalid, path + ": is a folder");
    }
    if (!DeleteFileA(path.c_str())) return LastError(path);
    return Status::Ok();
  }

  FileKind GetKind(const std::string& path) override {
    if (path.empty() || !PathFits(path)) return FileKind::kMissing;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::kMissing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::kFolder : FileKind::kFile;
  }

  Status ListFolder(const std::string& folder, std::string_view pattern,
                    std::vector<DirEntry>* entries) override {
    entries->clear();
    std::string base = folder.empty() ? std::string(".") : folder;
    std::string query = JoinPath(base, "*");
    if (!PathFits(query)) return TooLong(base);
    DWORD attributes = GetFileAttributesA(base.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastError(base);
    if (!IsFolderAttributes(attributes)) return Win32Status(base, ERROR_DIRECTORY);
    // Every entry is listed and the pattern is matched here, on the long name: the system's own
    // matching would also take names whose short 8.3 alias fits ("*.zip" taking "a.zipx").
    WIN32_FIND_DATAA data;
    FindHandle find(
        FindFirstFileExA(query.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (find.get() == INVALID_HANDLE_VALUE) {
      DWORD err = GetLastError();
      if (err == ERROR_FILE_NOT_FOUND || err == ERROR_NO_MORE_FILES) return Status::Ok();
      return Win32Status(base, err);
    }
    do {
      std::string_view name(data.cFileName);
      if (name == "." || name == ".." || !MatchesListPattern(name, pattern)) continue;
      entries->push_back(DirEntry{std::string(name),
                                  (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                  (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                                      IsLinkReparseTag(data.dwReserved0)});
    } while (FindNextFileA(find.get(), &data));
    DWORD err = GetLastError();
    if (err != ERROR_NO_MORE_FILES) return Win32Status(base, err);
    SortListing(entries);
    return Status::Ok();
  }

  std::string ExecutablePath() override {
    std::string path(MAX_PATH, '\0');
    for (;;) {
      DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
      if (n == 0) return std::string();
      if (n < path.size()) {
        path.resize(n);
        return path;
      }
      if (path.size() >= 32768) return std::string();
      path.resize(path.size() * 2);
    }
  }

  Status SetCurrentDirectory(const std::string& path) override {
    if (!SetCurrentDirectoryA(path.c_str())) return LastError(path);
    return Status::Ok();
  }

  std::string GetCurrentDirectory() override {
    DWORD need = GetCurrentDirectoryA(0, nullptr);
    if (need == 0) return std::string();
    std::string path(need, '\0');
    DWORD n = GetCurrentDirectoryA(need, path.data());
    if (n == 0 || n >= need) return std::string();
    path.resize(n);
    return path;
  }

  Status MoveFile(const std::string& from, const std::string& to) override {
    return MoveWithoutReplacing(from, to);
  }

  Status GetFileId(const std::string& path, FileId* id) override {
    if (!PathFits(path)) return TooLong(path);
    // No access asked: the id can be read even of a file that another program holds open.
    // FILE_FLAG_BACKUP_SEMANTICS lets folders open too.
    Handle h(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.valid()) return LastError(path);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h.get(), &info)) return LastError(path);
    id->volume = info.dwVolumeSerialNumber;
    id->index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return Status::Ok();
  }

  Status GetFileInfo(const std::string& path, bool follow_links, FileInfo* info) override {
    if (!PathFits(path)) return TooLong(path);
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (follow_links ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    Handle h(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                         flags, nullptr));
    if (!h.valid()) return LastError(path);
    BY_HANDLE_FILE_INFORMATION data;
    if (!GetFileInformationByHandle(h.get(), &data)) return LastError(path);
    info->type = TypeOf(h.get(), data.dwFileAttributes);
    info->id.volume = data.dwVolumeSerialNumber;
    info->id.index = (static_cast<uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
    info->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info->modified =
        static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime);
    return Status::Ok();
  }

  Status GetRealPath(const std::string& path, std::string* real) override {
    if (!PathFits(path)) return TooLong(path);
    Handle h(CreateFileA(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.valid()) return LastError(path);
    std::string text(MAX_PATH, '\0');
    for (;;) {
      const DWORD n =
          GetFinalPathNameByHandleA(h.get(), text.data(), static_cast<DWORD>(text.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
      if (n == 0) return LastError(path);
      if (n < text.size()) {
        text.resize(n);
        break;
      }
      if (n > 32768) return TooLong(path);
      text.resize(n + 1);
    }
    *real = WithoutLongPrefix(text);
    return Status::Ok();
  }

  Status LockFolder(const std::string& folder, std::unique_ptr<FolderLock>* lock) override {
    const std::string path = JoinPath(folder, ".cartidex-lock");
    if (!PathFits(path)) return TooLong(path);
    // No sharing: whoever opens the file second fails with a sharing violation (kBusy).
    Handle h(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!h.valid()) return LastError(path);
    *lock = std::make_unique<Win32FolderLock>(h.Release());
    return Status::Ok();
  }

  Status SetFileTimesFromDos(const std::string& path, uint32_t dos) override {
    if (!PathFits(path)) return TooLong(path);
    Handle h(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) return LastError(path);
    FILETIME created, accessed, written;
    if (!GetFileTime(h.get(), &created, &accessed, &written)) return LastError(path);
    FILETIME local, utc;
    if (!DosDateTimeToFileTime(static_cast<WORD>(dos >> 16), static_cast<WORD>(dos & 0xFFFF),
                               &local)) {
      return Status::Error(Status::Code::kInvalid, path + ": invalid MS-DOS time");
    }
    if (!LocalFileTimeToFileTime(&local, &utc)) return LastError(path);
    if (!SetFileTime(h.get(), &utc, &accessed, &utc)) return LastError(path);
    return Status::Ok();
  }
};

}  // namespace

Env* RealEnv() {
  static Win32Env env;
  return &env;
}

}  // namespace cartidex

#endif  // _WIN32
