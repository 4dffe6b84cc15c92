// Crc32Split: zlib's CRC-32 of a buffer, a large buffer's two halves taken on two cores.
#ifndef CARTIDEX_IDENTIFY_SPLIT_CRC_H_
#define CARTIDEX_IDENTIFY_SPLIT_CRC_H_

#include <cstddef>
#include <cstdint>

namespace cartidex {

// The same value as zlib's crc32(crc, data, size). From kSplitCrcSize bytes on, on a machine with
// more than one core, a helper thread takes the second half while the caller takes the first, and
// crc32_combine joins them. The helper is started on first use; after each half it looks for the
// next one for a few tens of microseconds (a folder walk asks again within them), then naps for a
// few milliseconds, then sleeps. Only a looking helper is offered a half: otherwise the caller
// takes the piece alone and wakes the helper for the pieces that follow.
uint32_t Crc32Split(uint32_t crc, const unsigned char* data, size_t size);

inline constexpr size_t kSplitCrcSize = 32 * 1024;

}  // namespace cartidex

#endif  // CARTIDEX_IDENTIFY_SPLIT_CRC_H_
