#include "romdb/rom_index.h"

namespace cartidex {

void RomIndex::Clear() {
  keys_.clear();
  linked_ = false;
}

uint32_t RomIndex::BucketOf(uint32_t crc) const {
  // Multiplicative hashing: CRC-32s that differ in their low bits only still spread.
  return (crc * 2654435761u) >> shift_;
}

void RomIndex::Link() const {
  const size_t n = keys_.size();
  uint32_t bits = 1;
  while (bits < 17 && (size_t{1} << bits) < n) ++bits;
  shift_ = 32 - bits;
  first_in_bucket_.assign(size_t{1} << bits, kEnd);
  next_in_bucket_.resize(n);
  // From the last entry down, so that each chain runs in entry order.
  for (size_t i = n; i-- > 0;) {
    uint32_t& first = first_in_bucket_[BucketOf(keys_[i].crc)];
    next_in_bucket_[i] = first;
    first = static_cast<uint32_t>(i);
  }
  linked_ = true;
}

std::optional<uint32_t> RomIndex::Next(uint32_t crc, uint32_t size, uint32_t from) const {
  if (!linked_) Link();
  std::optional<uint32_t> lowest;
  for (uint32_t i = first_in_bucket_[BucketOf(crc)]; i != kEnd; i = next_in_bucket_[i]) {
    if (keys_[i].crc != crc || keys_[i].size != size) continue;
    if (i > from) return i;
    if (!lowest) lowest = i;
  }
  // Round past the end of the table: the lowest match, when it comes before `from` or is entry 0.
  if (lowest && (*lowest < from || from == 0)) return lowest;
  return std::nullopt;
}

}  // namespace cartidex
