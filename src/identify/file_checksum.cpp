#include "identify/file_checksum.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "identify/copier_header.h"
#include "platform/env.h"

namespace cartidex {

namespace {

// One run of data through a CRC-32 and the digests wanted for it.
class DataStream {
 public:
  explicit DataStream(DigestWants wants) {
    if (wants.sha1) sha1_.emplace(HashKind::kSha1);
    if (wants.md5) md5_.emplace(HashKind::kMd5);
  }

  void Add(const char* data, size_t n) {
    crc_ = crc32(crc_, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(n));
    size_ += n;
    if (sha1_) sha1_->Update(data, n);
    if (md5_) md5_->Update(data, n);
  }

  // A digest whose library failed is left out, as if it had not been wanted.
  void Finish(DataSums* sums) {
    sums->crc = static_cast<uint32_t>(crc_);
    sums->size = static_cast<uint32_t>(size_);
    Digest digest;
    if (sha1_ && sha1_->Finish(&digest)) sums->sha1 = digest;
    if (md5_ && md5_->Finish(&digest)) sums->md5 = digest;
  }

 private:
  uLong crc_ = crc32(0L, Z_NULL, 0);
  uint64_t size_ = 0;
  std::optional<Hasher> sha1_;
  std::optional<Hasher> md5_;
};

// Reads until `want` bytes are in or the file ends, so that a short read cannot hide a header.
bool ReadFull(ReadableFile* file, char* buffer, size_t want, size_t* got) {
  *got = 0;
  while (*got < want) {
    size_t n = 0;
    if (!file->Read(buffer + *got, want - *got, &n).ok()) return false;
    if (n == 0) break;
    *got += n;
  }
  return true;
}

}  // namespace

ChecksumOutcome SumFile(const std::string& path, const DigestWantsOf& wants, FileSums* sums) {
  *sums = FileSums();
  std::unique_ptr<ReadableFile> file;
  if (!Env::Default()->OpenForRead(path, &file).ok()) return ChecksumOutcome::kUnreadable;
  const uint64_t total = file->Size();
  if (total == 0) return ChecksumOutcome::kEmpty;
  // No ROM is that large, and its size would not fit the 32 bits it is compared in.
  if (total > 0xFFFFFFFFu) return ChecksumOutcome::kUnreadable;
  auto wanted = [&](uint64_t size) {
    return wants ? wants(static_cast<uint32_t>(size)) : DigestWants();
  };

  // One buffer for every file: a folder walk reads many files one after another.
  static std::vector<char> buffer(256 * 1024);
  DataStream whole(wanted(total));
  std::optional<DataStream> body;
  uint64_t done = 0;
  while (done < total) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer.size(), total - done));
    size_t got = 0;
    if (!ReadFull(file.get(), buffer.data(), want, &got)) return ChecksumOutcome::kUnreadable;
    if (got == 0) break;  // the file became shorter: what was read counts
    whole.Add(buffer.data(), got);
    size_t skip = 0;
    if (done == 0) {
      // The buffer is far longer than any header: the first chunk holds it whole.
      sums->header_size = CopierHeaderSize(std::string_view(buffer.data(), got), total);
      if (sums->header_size > 0) body.emplace(wanted(total - sums->header_size));
      skip = std::min<size_t>(sums->header_size, got);
    }
    if (body && got > skip) body->Add(buffer.data() + skip, got - skip);
    done += got;
  }
  whole.Finish(&sums->whole);
  if (body) body->Finish(&sums->body);
  // A file that became shorter than its header while read has no data after it.
  if (sums->body.size == 0) sums->header_size = 0;
  return ChecksumOutcome::kRead;
}

}  // namespace cartidex
