// The Env over POSIX (Linux). Compiled everywhere but Windows.
#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/env.h"
#include "platform/listing_order.h"
#include "platform/path.h"

namespace cartidex {

namespace {

Status ErrnoStatus(const std::string& what, int err) {
  Status::Code code = Status::Code::kIoError;
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      code = Status::Code::kNotFound;
      break;
    case EEXIST:
    case ENOTEMPTY:
      code = Status::Code::kExists;
      break;
    case ENAMETOOLONG:
      code = Status::Code::kTooLong;
      break;
    case ENOSPC:
    case EDQUOT:
      code = Status::Code::kNoSpace;
      break;
    case EINVAL:
      code = Status::Code::kInvalid;
      break;
    default:
      break;
  }
  return Status::Error(code, what + ": " + std::strerror(err));
}

Status TooLong(const std::string& path) {
  return Status::Error(Status::Code::kTooLong, path + ": path too long");
}

// Closes a descriptor when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

Status WriteAll(int fd, const char* data, size_t n, const std::string& path) {
  while (n > 0) {
    ssize_t w = ::write(fd, data, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return ErrnoStatus(path, errno);
    }
    data += w;
    n -= static_cast<size_t>(w);
  }
  return Status::Ok();
}

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

// Renames without ever replacing the target, on one file system.
int RenameNoReplace(const char* from, const char* to) {
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  // The file system does not know the flag: a hard link fails on an existing target too.
  if (::link(from, to) != 0) return -1;
  if (::unlink(from) != 0) {
    int err = errno;
    ::unlink(to);
    errno = err;
    return -1;
  }
  return 0;
}

// Copies `from` to a temporary file beside `to`, links it into place, then removes `from`.
Status CopyAcrossFileSystems(const std::string& from, const std::string& to) {
  Fd src(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (src.get() < 0) return ErrnoStatus(from, errno);
  struct stat st;
  if (::fstat(src.get(), &st) != 0) return ErrnoStatus(from, errno);
  if (!S_ISREG(st.st_mode)) return Status::Error(Status::Code::kInvalid, from + ": not a file");

  std::string folder(FolderOf(to));
  std::string temp = folder + ".cartidex-move-XXXXXX";
  if (!PathFits(temp)) return TooLong(temp);
  Fd dst(::mkostemp(temp.data(), O_CLOEXEC));
  if (dst.get() < 0) return ErrnoStatus(temp, errno);

  auto fail = [&](Status s) {
    dst.Reset();
    ::unlink(temp.c_str());
    return s;
  };
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t r = ::read(src.get(), buffer.data(), buffer.size());
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return fail(ErrnoStatus(from, errno));
    if (r == 0) break;
    Status s = WriteAll(dst.get(), buffer.data(), static_cast<size_t>(r), temp);
    if (!s.ok()) return fail(s);
  }
  ::fchmod(dst.get(), st.st_mode & 07777);
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (::futimens(dst.get(), times) != 0) return fail(ErrnoStatus(temp, errno));
  if (::fsync(dst.get()) != 0) return fail(ErrnoStatus(temp, errno));
  if (::close(dst.Release()) != 0) return fail(ErrnoStatus(temp, errno));
  if (RenameNoReplace(temp.c_str(), to.c_str()) != 0) return fail(ErrnoStatus(to, errno));
  if (::unlink(from.c_str()) != 0) {
    // The source cannot go: take the copy back, so the file exists once.
    Status s = ErrnoStatus(from, errno);
    ::unlink(to.c_str());
    return s;
  }
  return Status::Ok();
}

class PosixEnv : public Env {
 public:
  Status OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) override {
    if (!PathFits(path)) return TooLong(path);
    // O_NONBLOCK so that a FIFO met during a walk cannot hang the open.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return ErrnoStatus(path, errno);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) return ErrnoStatus(path, errno);
    if (!S_ISREG(st.st_mode)) {
      return Status::Error(Status::Code::kInvalid, path + ": not a regular file");
    }
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
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return ErrnoStatus(path, errno);
    *file = std::make_unique<PosixWritableFile>(fd, path);
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
      DirEntry entry{std::string(name), d->d_type == DT_DIR};
      if (d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
        struct stat st;
        std::string full = prefix + entry.name;
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
    if (!PathFits(from)) return TooLong(from);
    if (!PathFits(to)) return TooLong(to);
    if (RenameNoReplace(from.c_str(), to.c_str()) == 0) return Status::Ok();
    if (errno != EXDEV) return ErrnoStatus(to, errno);
    return CopyAcrossFileSystems(from, to);
  }

  Status GetFileId(const std::string& path, FileId* id) override {
    struct stat st;
    if (!PathFits(path)) return TooLong(path);
    if (::stat(path.c_str(), &st) != 0) return ErrnoStatus(path, errno);
    id->volume = static_cast<uint64_t>(st.st_dev);
    id->index = static_cast<uint64_t>(st.st_ino);
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
