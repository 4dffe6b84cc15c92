// RomIndex: the CRC-32 and size of every ROM table entry, arranged so that a lookup looks at a
// few of them instead of walking the whole table.
#ifndef CARTIDEX_ROMDB_ROM_INDEX_H_
#define CARTIDEX_ROMDB_ROM_INDEX_H_

#include <cstdint>
#include <optional>
#include <vector>

namespace cartidex {

class RomIndex {
 public:
  // Forgets every entry.
  void Clear();
  // Takes in the entry after the last one taken in (the first is entry 0).
  void Add(uint32_t crc, uint32_t size);

  // The entry that a walk round the table meets first among those of this CRC-32 and size: the
  // walk tries from + 1, ..., the last entry, then 0, ..., from - 1; entry `from` itself only
  // when it is 0, and then last. nullopt when the walk meets none.
  std::optional<uint32_t> Next(uint32_t crc, uint32_t size, uint32_t from) const;

 private:
  struct Row {
    uint32_t crc;
    uint32_t size;
    uint32_t index;
  };
  // Arranges the rows in buckets by the top bits of the CRC-32, each bucket sorted by CRC-32,
  // size and entry. Done at the first lookup after entries were added.
  void Arrange() const;
  uint32_t BucketOf(uint32_t crc) const { return crc >> shift_; }

  mutable std::vector<Row> rows_;
  // Bucket b holds rows_[bucket_start_[b]] up to rows_[bucket_start_[b + 1]].
  mutable std::vector<uint32_t> bucket_start_;
  mutable uint32_t shift_ = 32;
  mutable bool arranged_ = false;
};

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_ROM_INDEX_H_
