// RomIndex: the CRC-32 and size of every ROM table entry, linked so that a lookup looks at a few
// entries instead of walking the whole table.
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
  void Add(uint32_t crc, uint32_t size) {
    entries_.push_back(Entry{crc, size, kEnd});
    linked_ = false;
  }

  // The entry that a walk round the table meets first among those of this CRC-32 and size: the
  // walk tries from + 1, ..., the last entry, then 0, ..., from - 1; entry `from` itself only
  // when it is 0, and then last. nullopt when the walk meets none.
  std::optional<uint32_t> Next(uint32_t crc, uint32_t size, uint32_t from) const;

 private:
  static constexpr uint32_t kEnd = 0xFFFFFFFFu;
  struct Entry {
    uint32_t crc;
    uint32_t size;
    uint32_t next_in_bucket;  // kEnd for the last of its bucket
  };
  // Spreads the entries over about as many buckets as there are entries, by a hash of the
  // CRC-32, and links the entries of each bucket into a chain in entry order. Done at the first
  // lookup after entries were added.
  void Link() const;
  uint32_t BucketOf(uint32_t crc) const;

  // Each entry's key beside its link: a lookup reads both at once.
  mutable std::vector<Entry> entries_;
  mutable std::vector<uint32_t> first_in_bucket_;  // kEnd for an empty bucket
  mutable uint32_t shift_ = 31;
  mutable bool linked_ = false;
};

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_ROM_INDEX_H_
