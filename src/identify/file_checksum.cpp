#include "identify/file_checksum.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/env.h"

namespace cartidex {

ChecksumOutcome ChecksumFile(const std::string& path, uint32_t* crc, uint32_t* size) {
  *crc = 0;
  *size = 0;
  std::unique_ptr<ReadableFile> file;
  if (!Env::Default()->OpenForRead(path, &file).ok()) return ChecksumOutcome::kUnreadable;
  const uint64_t total = file->Size();
  if (total == 0) return ChecksumOutcome::kEmpty;
  // No ROM is that large, and its size would not fit the 32 bits it is compared in.
  if (total > 0xFFFFFFFFu) return ChecksumOutcome::kUnreadable;

  // One buffer for every file: a folder walk reads many files one after another.
  static std::vector<char> buffer(256 * 1024);
  uLong value = crc32(0L, Z_NULL, 0);
  uint64_t done = 0;
  while (done < total) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer.size(), total - done));
    size_t got = 0;
    if (!file->Read(buffer.data(), want, &got).ok()) return ChecksumOutcome::kUnreadable;
    if (got == 0) break;  // the file became shorter: what was read counts
    value = crc32(value, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(got));
    done += got;
  }
  *crc = static_cast<uint32_t>(value);
  *size = static_cast<uint32_t>(done);
  return ChecksumOutcome::kRead;
}

}  // namespace cartidex
