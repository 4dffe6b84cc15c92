// Compiled everywhere but Windows.
#ifndef _WIN32
#include "platform/posix_move.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/path.h"
#include "platform/posix_io.h"

namespace cartidex {

namespace {

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

// The folder part of a path, as a path of its own ("." for a bare name).
std::string FolderPath(const std::string& path) {
  std::string folder(FolderOf(path));
  return folder.empty() ? std::string(".") : folder;
}

bool SameFolder(const std::string& a, const std::string& b) {
  struct stat x, y;
  return ::stat(FolderPath(a).c_str(), &x) == 0 && ::stat(FolderPath(b).c_str(), &y) == 0 &&
         x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

// Moves the link `from` itself, never what it names. A relative target is read from the link's
// own folder: a link moved to another folder gets the absolute target it stood for, so that it
// names the same file there. Across file systems the link is made anew and the old one removed.
Status MoveLink(const std::string& from, const std::string& to) {
  std::string target(4096, '\0');
  const ssize_t n = ::readlink(from.c_str(), target.data(), target.size());
  if (n < 0) return ErrnoStatus(from, errno);
  if (static_cast<size_t>(n) >= target.size()) return TooLong(from);
  target.resize(static_cast<size_t>(n));
  if (target[0] != '/' && !SameFolder(from, to)) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(FolderPath(from).c_str(), nullptr),
                                                     &std::free);
    if (real == nullptr) return ErrnoStatus(from, errno);
    target = JoinPath(real.get(), target);
    if (!PathFits(target)) return TooLong(target);
  } else {
    if (RenameNoReplace(from.c_str(), to.c_str()) == 0) return Status::Ok();
    if (errno != EXDEV) return ErrnoStatus(to, errno);
  }
  if (::symlink(target.c_str(), to.c_str()) != 0) return ErrnoStatus(to, errno);
  if (::unlink(from.c_str()) != 0) {
    Status s = ErrnoStatus(from, errno);
    ::unlink(to.c_str());
    return s;
  }
  return Status::Ok();
}

// The copy being made beside the target. Where the file system has unnamed files (O_TMPFILE) it
// is one: no one sees it before it is linked into place, and it vanishes with the process if
// that dies first. Elsewhere it has a hidden temporary name, which this removes unless the copy
// was placed, but which a process killed during the copy leaves behind.
struct PendingCopy {
  ~PendingCopy() {
    if (!temp.empty()) ::unlink(temp.c_str());
  }
  Fd fd;
  std::string temp;  // empty: unnamed, or placed
};

Status OpenCopy(const std::string& to, PendingCopy* copy) {
  const std::string folder(FolderOf(to));
  // An unnamed file is linked into place through its path in /proc (see PlaceCopy).
  if (::access("/proc/self/fd", X_OK) == 0) {
    copy->fd.Reset(::open(FolderPath(to).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (copy->fd.get() >= 0) return Status::Ok();
    // Kernels older than unnamed files take the flags for a folder (EISDIR); file systems
    // without them refuse (EOPNOTSUPP).
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return ErrnoStatus(to, errno);
  }
  std::string temp = folder + ".cartidex-move-XXXXXX";
  if (!PathFits(temp)) return TooLong(temp);
  copy->fd.Reset(::mkostemp(temp.data(), O_CLOEXEC));
  if (copy->fd.get() < 0) return ErrnoStatus(temp, errno);
  copy->temp = temp;
  return Status::Ok();
}

Status CopyBytes(int src, int dst, const std::string& from, const std::string& to,
                 uint64_t* copied) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t r = ::read(src, buffer.data(), buffer.size());
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return ErrnoStatus(from, errno);
    if (r == 0) return Status::Ok();
    Status s = WriteAll(dst, buffer.data(), static_cast<size_t>(r), to);
    if (!s.ok()) return s;
    *copied += static_cast<uint64_t>(r);
  }
}

// Gives the copy the source's mode and times, puts it on disk and links it in under `to`.
Status PlaceCopy(const struct stat& source, const std::string& to, PendingCopy* copy) {
  ::fchmod(copy->fd.get(), source.st_mode & 07777);
  struct timespec times[2] = {source.st_atim, source.st_mtim};
  if (::futimens(copy->fd.get(), times) != 0) return ErrnoStatus(to, errno);
  if (::fsync(copy->fd.get()) != 0) return ErrnoStatus(to, errno);
  if (!copy->temp.empty()) {
    if (::close(copy->fd.Release()) != 0) return ErrnoStatus(copy->temp, errno);
    if (RenameNoReplace(copy->temp.c_str(), to.c_str()) != 0) return ErrnoStatus(to, errno);
    copy->temp.clear();
    return Status::Ok();
  }
  // linkat never replaces an existing target. The descriptor's own path in /proc is used, as
  // linking it directly (AT_EMPTY_PATH) needs a privilege users do not have.
  const std::string self = "/proc/self/fd/" + std::to_string(copy->fd.get());
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    return ErrnoStatus(to, errno);
  }
  return Status::Ok();
}

// True when `from` still names the file open as `src`, which still has the size and modification
// time it had before the copy (`before`), and all of it was copied: nobody wrote to it meanwhile,
// and nobody put another file in its place.
bool SourceUnchanged(int src, const std::string& from, const struct stat& before, uint64_t copied) {
  struct stat now, named;
  if (::fstat(src, &now) != 0 || ::lstat(from.c_str(), &named) != 0) return false;
  return copied == static_cast<uint64_t>(before.st_size) && now.st_size == before.st_size &&
         now.st_mtim.tv_sec == before.st_mtim.tv_sec &&
         now.st_mtim.tv_nsec == before.st_mtim.tv_nsec && named.st_dev == before.st_dev &&
         named.st_ino == before.st_ino;
}

// Copies `from` beside `to`, links the copy into place, then removes `from`.
Status CopyAcrossFileSystems(const std::string& from, const std::string& to) {
  Fd src(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY));
  if (src.get() < 0) return ErrnoStatus(from, errno);
  struct stat st;
  if (::fstat(src.get(), &st) != 0) return ErrnoStatus(from, errno);
  if (!S_ISREG(st.st_mode)) return Status::Error(Status::Code::kInvalid, from + ": not a file");

  PendingCopy copy;
  Status s = OpenCopy(to, &copy);
  uint64_t copied = 0;
  if (s.ok()) s = CopyBytes(src.get(), copy.fd.get(), from, to, &copied);
  if (s.ok()) s = PlaceCopy(st, to, &copy);
  if (!s.ok()) return s;
  // The copy is in place: on any failure from here on it goes again, so the file exists once.
  if (!SourceUnchanged(src.get(), from, st, copied)) {
    ::unlink(to.c_str());
    return Status::IoError(from + ": changed while it was copied");
  }
  if (::unlink(from.c_str()) != 0) {
    s = ErrnoStatus(from, errno);
    ::unlink(to.c_str());
    return s;
  }
  return Status::Ok();
}

}  // namespace

Status MoveWithoutReplacing(const std::string& from, const std::string& to) {
  if (!PathFits(from)) return TooLong(from);
  if (!PathFits(to)) return TooLong(to);
  struct stat st;
  if (::lstat(from.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return MoveLink(from, to);
  if (RenameNoReplace(from.c_str(), to.c_str()) == 0) return Status::Ok();
  if (errno != EXDEV) return ErrnoStatus(to, errno);
  return CopyAcrossFileSystems(from, to);
}

}  // namespace cartidex

#endif  // !_WIN32
