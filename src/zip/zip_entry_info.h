// ZipEntryInfo: what an archive's central directory says about one member.
#ifndef CARTIDEX_ZIP_ZIP_ENTRY_INFO_H_
#define CARTIDEX_ZIP_ZIP_ENTRY_INFO_H_

#include <cstdint>
#include <string>

namespace cartidex {

struct ZipEntryInfo {
  // The member's name as stored, whole, with every '/' turned into '\'. Bytes are kept as they
  // stand (no character set conversion).
  std::string name;
  std::string comment;
  uint32_t version_made_by = 0;
  uint32_t version_needed = 0;
  uint32_t flags = 0;  // general purpose bit flags
  uint32_t compression_method = 0;
  // MS-DOS date in the high 16 bits, MS-DOS time in the low 16 bits.
  uint32_t dos_date_time = 0;
  uint32_t crc32 = 0;
  uint32_t compressed_size = 0;
  uint32_t uncompressed_size = 0;
  uint32_t internal_attributes = 0;
  uint32_t external_attributes = 0;
  // True when the name ends with a separator (an empty name is not a folder).
  bool is_folder = false;
  // The declared uncompressed size in full; above 32 bits for a zip64 member.
  uint64_t uncompressed_size64 = 0;
};

}  // namespace cartidex

#endif  // CARTIDEX_ZIP_ZIP_ENTRY_INFO_H_
