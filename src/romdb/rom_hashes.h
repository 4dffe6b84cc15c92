// RomHashes: the SHA-1 or MD5 of those ROMs whose DAT gives one. Kept apart from the ROM table:
// most ROMs (every ROM of an own datafile) have none, and room for a digest on every entry would
// cost memory for nothing.
#ifndef CARTIDEX_ROMDB_ROM_HASHES_H_
#define CARTIDEX_ROMDB_ROM_HASHES_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/hash.h"

namespace cartidex {

// The digest a file must have to match a ROM.
struct RomHash {
  HashKind kind = HashKind::kSha1;
  Digest digest;
};

class RomHashes {
 public:
  void Clear();
  // Takes in the digest of ROM `rom_index` (of `size` bytes), an index above every one taken in
  // before. A SHA-1 of 40 hexadecimal digits is kept; without one, an MD5 of 32. Any other text
  // is no digest: the ROM is then checked by its CRC-32 and size alone, as before DATs gave
  // digests.
  void Add(uint32_t rom_index, uint32_t size, std::string_view sha1, std::string_view md5);

  // The digest of ROM `rom_index`, nullopt when it has none.
  std::optional<RomHash> Of(uint32_t rom_index) const;
  // Whether some ROM of `size` bytes has a digest of `kind`.
  bool AnyOfSize(HashKind kind, uint32_t size) const {
    return (kind == HashKind::kSha1 ? sha1_sizes_ : md5_sizes_).count(size) != 0;
  }

 private:
  // ROM indices in rising order, each with its digest at the same place.
  std::vector<uint32_t> sha1_roms_;
  std::vector<std::array<uint8_t, 20>> sha1_;
  std::vector<uint32_t> md5_roms_;
  std::vector<std::array<uint8_t, 16>> md5_;
  std::unordered_set<uint32_t> sha1_sizes_;
  std::unordered_set<uint32_t> md5_sizes_;
};

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_ROM_HASHES_H_
