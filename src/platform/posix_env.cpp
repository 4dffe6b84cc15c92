// The Env over POSIX (Linux). Compiled everywhere but Windows.
#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/env.h"
#include "platform/listing_order.h"
#include "platform/path.h"
#include "platform/posix_io.h"
#include "platform/posix_move.h"

namespace cartidex {

namespace {

class PosixReadableFile : public ReadableFile {
 public:
  PosixReadableFile(int fd, uint64_t size, std::string path)
      : fd_(fd), size_(size), path_(std::move(path)) {}
  uint64_t Size() const override { return size_; }
  Status Read(char* buffer, size_t n, size_t* got) override {
    *got = 0;
    for (;;) {
      ssize_t r = ::read(fd_.get(), buffer, n);
      if (r >= 0) {
        *got = static_cast<size_t>(r);
        return Status::Ok();
      }
      if (errno != EINTR) return ErrnoStatus(path_, errno);
    }
  }

 private:
  Fd fd_;
  uint64_t size_;
  std::string path_;
};

class PosixWritableFile : public WritableFile {
 public:
  PosixWritableFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  Status Append(std::string_view data) override {
    if (fd_.get() < 0) return Status::IoError(path_ + ": closed");
    return WriteAll(fd_.get(), data.data(), data.size(), path_);
  }
  Status Close() override {
    int fd = fd_.Release();
    if (fd < 0) return Status::Ok();
    if (::close(fd) != 0) return ErrnoStatus(path_, errno);
    return Status::Ok();
  }

 private:
  Fd fd_;
  std::string path_;
};

EntryType TypeOf(mode_t mode) {
  if (S_ISREG(mode)) return EntryType::kFile;
  if (S_ISDIR(mode)) return EntryType::kFolder;
  if (S_ISLNK(mode)) return EntryType::kLink;
  return EntryType::kOther;
}

Status NotRegular(const std::string& path) {
  return Status::Error(Status::Code::kInvalid, path + ": not a regular file");
}

// The lock of a folder: flock on a descriptor of the folder itself, so that no lock file is
// needed, and the lock ends with the descriptor, which the process's end closes in any case.
class PosixFolderLock : public FolderLock {
 public:
  explicit PosixFolderLock(int fd) : fd_(fd) {}

 private:
  Fd fd_;
};

class PosixEnv : public Env {
 public:
  Status OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) override {
    if (!PathFits(path)) return TooLong(path);
    // What is no regular file is never opened: opening a device may do something. O_NONBLOCK
    // and the second look cover a pipe put in the file's place meanwhile.
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return ErrnoStatus(path, errno);
    if (!S_ISREG(st.st_mode)) return NotRegular(path);
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) return ErrnoStatus(path, errno);
    if (::fstat(fd.get(), &st) != 0) return ErrnoStatus(path, errno);
    if (!S_ISREG(st.st_mode)) return NotRegular(path);
    // O_NONBLOCK stays set: it has no effect on the reads of a regular file, and clearing it
    // would cost a call for every file of a walk.
    *file =
        std::make_unique<PosixReadableFile>(fd.Release(), static_cast<uint64_t>(st.st_size), path);
    return Status::Ok();
  }

  Status OpenForWrite(const std::string& path, WriteMode mode,
                      std::unique_ptr<WritableFile>* file) override {
    if (!PathFits(path)) return TooLong(path);
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
    switch (mode) {
      case WriteMode::kReplace:
        flags |= O_TRUNC;
        break;
      case WriteMode::kNew:
        flags |= O_EXCL;
        break;
      case WriteMode::kAppend:
        flags |= O_APPEND;
        break;
    }
    // A pipe without a reader would hold the open for ever: it fails at once instead, and is
    // refused like every other file that is no regular file.
    Fd fd(::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY, 0666));
    if (fd.get() < 0) return ErrnoStatus(path, errno);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) return ErrnoStatus(path, errno);
    if (!S_ISREG(st.st_mode)) return NotRegular(path);
    *file = std::make_unique<PosixWritableFile>(fd.Release(), path);
    return Status::Ok();
  }

  Status CreateFolder(const std::string& path) override {
    if (!PathFits(path)) return TooLong(path);
    if (::mkdir(path.c_str(), 0777) != 0) return ErrnoStatus(path, errno);
    return Status::Ok();
  }

  Status DeleteFile(const std::string& path) override {
    if (!PathFits(path)) return TooLong(path);
    if (::unlink(path.c_str()) != 0) return ErrnoStatus(path, errno);
    return Status::Ok();
  }

  FileKind GetKind(const std::string& path) override {
    struct stat st;
    if (!PathFits(path) || ::stat(path.c_str(), &st) != 0) return FileKind::kMissing;
    return S_ISDIR(st.st_mode) ? FileKind::kFolder : FileKind::kFile;
  }

  Status ListFolder(const std::string& folder, std::string_view pattern,
                    std::vector<DirEntry>* entries) override {
    entries->clear();
    std::string base = folder.empty() ? std::string(".") : folder;
    if (!PathFits(base)) return TooLong(base);
    DIR* dir = ::opendir(base.c_str());
    if (dir == nullptr) return ErrnoStatus(base, errno);
    std::string prefix = base;
    EnsureTrailingSeparator(&prefix);
    for (;;) {
      errno = 0;
      struct dirent* d = ::readdir(dir);
      if (d == nullptr) break;
      std::string_view name(d->d_name);
      if (name == "." || name == ".." || !MatchesListPattern(name, pattern)) continue;
      DirEntry entry{std::string(name), d->d_type == DT_DIR, d->d_type == DT_LNK};
      if (d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
        struct stat st;
        std::string full = prefix + entry.name;
        if (d->d_type == DT_UNKNOWN) {
          entry.is_link = ::lstat(full.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
        }
        entry.is_folder = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      }
      entries->push_back(std::move(entry));
    }
    int err = errno;
    ::closedir(dir);
    if (err != 0) return ErrnoStatus(base, err);
    SortListing(entries);
    return Status::Ok();
  }

  std::string ExecutablePath() override {
    std::string path(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) return std::string();
    path.resize(static_cast<size_t>(n));
    return path;
  }

  Status SetCurrentDirectory(const std::string& path) override {
    if (::chdir(path.c_str()) != 0) return ErrnoStatus(path, errno);
    return Status::Ok();
  }

  std::string GetCurrentDirectory() override {
    std::string path(4096, '\0');
    if (::getcwd(path.data(), path.size()) == nullptr) return std::string();
    path.resize(std::strlen(path.c_str()));
    return path;
  }

  Status MoveFile(const std::string& from, const std::string& to) override {
    return MoveWithoutReplacing(from, to);
  }

  Status GetFileId(const std::string& path, FileId* id) override {
    struct stat st;
    if (!PathFits(path)) return TooLong(path);
    if (::stat(path.c_str(), &st) != 0) return ErrnoStatus(path, errno);
    id->volume = static_cast<uint64_t>(st.st_dev);
    id->index = static_cast<uint64_t>(st.st_ino);
    return Status::Ok();
  }

  Status GetFileInfo(const std::string& path, bool follow_links, FileInfo* info) override {
    if (!PathFits(path)) return TooLong(path);
    struct stat st;
    const int r = follow_links ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (r != 0) return ErrnoStatus(path, errno);
    info->type = TypeOf(st.st_mode);
    info->id = FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    info->size = static_cast<uint64_t>(st.st_size);
    info->modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return Status::Ok();
  }

  Status GetRealPath(const std::string& path, std::string* real) override {
    if (!PathFits(path)) return TooLong(path);
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    if (resolved == nullptr) return ErrnoStatus(path, errno);
    *real = resolved.get();
    return Status::Ok();
  }

  Status LockFolder(const std::string& folder, std::unique_ptr<FolderLock>* lock) override {
    if (!PathFits(folder)) return TooLong(folder);
    Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) return ErrnoStatus(folder, errno);
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno != EINTR) return ErrnoStatus(folder, errno);
    }
    *lock = std::make_unique<PosixFolderLock>(fd.Release());
    return Status::Ok();
  }

  Status SetFileTimesFromDos(const std::string& path, uint32_t dos) override {
    struct tm t = {};
    t.tm_year = static_cast<int>((dos >> 25) & 0x7f) + 80;
    t.tm_mon = static_cast<int>((dos >> 21) & 0x0f) - 1;
    t.tm_mday = static_cast<int>((dos >> 16) & 0x1f);
    t.tm_hour = static_cast<int>((dos >> 11) & 0x1f);
    t.tm_min = static_cast<int>((dos >> 5) & 0x3f);
    t.tm_sec = static_cast<int>(dos & 0x1f) * 2;
    // The same stamps the Windows conversion refuses.
    if (t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday < 1 || t.tm_hour > 23 || t.tm_min > 59 ||
        t.tm_sec > 59) {
      return Status::Error(Status::Code::kInvalid, path + ": invalid MS-DOS time");
    }
    t.tm_isdst = -1;
    time_t when = std::mktime(&t);
    if (when == static_cast<time_t>(-1)) {
      return Status::Error(Status::Code::kInvalid, path + ": time out of range");
    }
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = when;
    times[1].tv_nsec = 0;
    if (!PathFits(path)) return TooLong(path);
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) return ErrnoStatus(path, errno);
    return Status::Ok();
  }
};

}  // namespace

Env* RealEnv() {
  static PosixEnv env;
  return &env;
}

}  // namespace cartidex

#endif  // !_WIN32
