#include "romdb/rom_index.h"

namespace cartidex {

void RomIndex::Clear() {
  entries_.clear();
  linked_ = false;
}

uint32_t RomIndex::BucketOf(uint32_t crc) const {
  // Multiplicative hashing: CRC-32s that differ in their low bits only still spread.
  return (crc * 2654435761u) >> shift_;
}

void RomIndex::Link() const {
  const size_t n = entries_.size();
  uint32_t bits = 1;
  while (bits < 17 && (size_t{1} << bits) < n) ++bits;
  shift_ = 32 - bits;
  first_in_bucket_.assign(size_t{1} << bits, kEnd);
  // From the last entry down, so that each chain runs in entry order.
  for (size_t i = n; i-- > 0;) {
    uint32_t& first = first_in_bucket_[BucketOf(entries_[i].crc)];
    entries_[i].next_in_bucket = first;
    first = static_cast<uint32_t>(i);
  }
  linked_ = true;
}

std::optional<uint32_t> RomIndex::Next(uint32_t crc, uint32_t size, uint32_t from) const {
  if (!linked_) Link();
  auto matches = [&](uint32_t i) { return entries_[i].crc == crc && entries_[i].size == size; };
  const uint32_t bucket = BucketOf(crc);
  // Chains run in entry order: when `from` is in this one, the entries after it follow it there,
  // so that going through many entries of one CRC-32 and size takes a step each.
  const bool in_chain = from < entries_.size() && BucketOf(entries_[from].crc) == bucket;
  const uint32_t first = first_in_bucket_[bucket];
  const uint32_t start = in_chain ? entries_[from].next_in_bucket : first;
  for (uint32_t i = start; i != kEnd; i = entries_[i].next_in_bucket) {
    if (i > from && matches(i)) return i;
  }
  // Round past the end of the table: the lowest match, when it comes before `from` or is entry 0.
  for (uint32_t i = first; i != kEnd && (i < from || i == 0); i = entries_[i].next_in_bucket) {
    if (matches(i)) return i;
  }
  return std::nullopt;
}

}  // namespace cartidex
