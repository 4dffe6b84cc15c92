// The CRC-32 and size of a file's contents, as identification compares them with the database.
#ifndef CARTIDEX_IDENTIFY_FILE_CHECKSUM_H_
#define CARTIDEX_IDENTIFY_FILE_CHECKSUM_H_

#include <cstdint>
#include <string>

namespace cartidex {

enum class ChecksumOutcome {
  kRead,        // *crc and *size describe the bytes read
  kEmpty,       // the file is empty: nothing to identify
  kUnreadable,  // it cannot be opened or read, or is 4 GiB or larger
};

// Reads the file at `path` up to the size taken when it was opened (fewer bytes when it ends
// sooner) and gives zlib's CRC-32 of those bytes and their number. The contents pass through
// one fixed buffer, so memory does not grow with the file; the value equals one crc32 call
// over the whole contents.
ChecksumOutcome ChecksumFile(const std::string& path, uint32_t* crc, uint32_t* size);

}  // namespace cartidex

#endif  // CARTIDEX_IDENTIFY_FILE_CHECKSUM_H_
