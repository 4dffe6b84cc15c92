// The CRC-32 and size of a file's contents, as identification compares them with the database,
// with the SHA-1 or MD5 where the database has digests to compare, and the same of the data
// after a copier header.
#ifndef CARTIDEX_IDENTIFY_FILE_CHECKSUM_H_
#define CARTIDEX_IDENTIFY_FILE_CHECKSUM_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/hash.h"

namespace cartidex {

enum class ChecksumOutcome {
  kRead,        // the sums describe the bytes read
  kEmpty,       // the file is empty: nothing to identify
  kUnreadable,  // it cannot be opened or read, or is 4 GiB or larger
};

// The digests a pass computes for a run of data, chosen by the run's size.
struct DigestWants {
  bool sha1 = false;
  bool md5 = false;
};
using DigestWantsOf = std::function<DigestWants(uint32_t size)>;

// The sums of one run of data. A digest is there only when it was wanted for the run's size.
struct DataSums {
  uint32_t crc = 0;
  uint32_t size = 0;
  std::optional<Digest> sha1;
  std::optional<Digest> md5;
};

struct FileSums {
  DataSums whole;
  // The length of the copier header the file begins with (0 when none), and the data after it.
  uint32_t header_size = 0;
  DataSums body;
};

// Reads the file at `path` once, up to the size taken when it was opened (fewer bytes when it
// ends sooner), through one fixed buffer, so memory does not grow with the file. Gives zlib's
// CRC-32 and the number of the bytes read, and the digests that `wants` (when given) asks for
// the file's size; when the file begins with a copier header, the same of the data after it.
// The CRC-32 equals one crc32 call over the whole contents.
ChecksumOutcome SumFile(const std::string& path, const DigestWantsOf& wants, FileSums* sums);

}  // namespace cartidex

#endif  // CARTIDEX_IDENTIFY_FILE_CHECKSUM_H_
