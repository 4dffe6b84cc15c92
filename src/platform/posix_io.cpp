// Compiled everywhere but Windows.
#ifndef _WIN32
#include "platform/posix_io.h"

#include <cerrno>
#include <cstring>

namespace cartidex {

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
    case EWOULDBLOCK:
      code = Status::Code::kBusy;
      break;
    default:
      break;
  }
  return Status::Error(code, what + ": " + std::strerror(err));
}

Status TooLong(const std::string& path) {
  return Status::Error(Status::Code::kTooLong, path + ": path too long");
}

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

}  // namespace cartidex

#endif  // !_WIN32
