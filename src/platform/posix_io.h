// What the POSIX files of the platform layer share: errno as the platform's Status, a descriptor
// closed with its scope, and a write that writes everything.
#ifndef CARTIDEX_PLATFORM_POSIX_IO_H_
#define CARTIDEX_PLATFORM_POSIX_IO_H_

#include <unistd.h>

#include <cstddef>
#include <string>

#include "platform/status.h"

namespace cartidex {

// `what`: the system's message for `err`, with the Status code that fits it.
Status ErrnoStatus(const std::string& what, int err);
// A path past the platform's limits.
Status TooLong(const std::string& path);
// Writes all `n` bytes, going on after interrupted or partial writes.
Status WriteAll(int fd, const char* data, size_t n, const std::string& path);

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
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_POSIX_IO_H_
