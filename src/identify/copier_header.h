// Copier headers: the few bytes that dumps of some systems' games carry before the ROM data,
// while the DATs that collectors use list the CRC-32 and size of the data without them.
#ifndef CARTIDEX_IDENTIFY_COPIER_HEADER_H_
#define CARTIDEX_IDENTIFY_COPIER_HEADER_H_

#include <cstdint>
#include <string_view>

namespace cartidex {

// The most bytes CopierHeaderSize looks at.
inline constexpr uint32_t kLongestCopierHeader = 128;

// The length of the copier header that a file of `file_size` bytes beginning with `start`
// carries: 16 for NES ("NES" 0x1A) and Famicom Disk System ("FDS" 0x1A), 128 for Atari 7800
// ("ATARI7800" in bytes 1 to 9), 64 for Atari Lynx ("LYNX"). 0 when it begins with none, or when
// no data would follow the header. `start` holds the file's first bytes, up to
// kLongestCopierHeader of them.
uint32_t CopierHeaderSize(std::string_view start, uint64_t file_size);

}  // namespace cartidex

#endif  // CARTIDEX_IDENTIFY_COPIER_HEADER_H_
