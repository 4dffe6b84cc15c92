#include "romdb/rom_index.h"

#include <algorithm>
#include <tuple>

namespace cartidex {

namespace {

// Rows compare by CRC-32 and size; rows of one CRC-32 and size by entry.
bool KeyBefore(uint32_t crc, uint32_t size, uint32_t other_crc, uint32_t other_size) {
  return std::tie(crc, size) < std::tie(other_crc, other_size);
}

}  // namespace

void RomIndex::Clear() {
  rows_.clear();
  arranged_ = false;
}

void RomIndex::Add(uint32_t crc, uint32_t size) {
  rows_.push_back(Row{crc, size, static_cast<uint32_t>(rows_.size())});
  arranged_ = false;
}

void RomIndex::Arrange() const {
  // About two rows a bucket and at most 65536 buckets: a lookup looks at a handful of rows.
  const size_t n = rows_.size();
  uint32_t bits = 1;
  while (bits < 16 && (size_t{1} << bits) < n / 2) ++bits;
  shift_ = 32 - bits;
  const uint32_t buckets = 1u << bits;

  // Count the rows of each bucket, then place each row at the next free place of its bucket.
  bucket_start_.assign(buckets + 1, 0);
  for (const Row& row : rows_) ++bucket_start_[BucketOf(row.crc) + 1];
  for (uint32_t b = 0; b < buckets; ++b) bucket_start_[b + 1] += bucket_start_[b];
  std::vector<uint32_t> next(bucket_start_.begin(), bucket_start_.end() - 1);
  std::vector<Row> arranged(n);
  for (const Row& row : rows_) arranged[next[BucketOf(row.crc)]++] = row;

  for (uint32_t b = 0; b < buckets; ++b) {
    std::sort(arranged.begin() + bucket_start_[b], arranged.begin() + bucket_start_[b + 1],
              [](const Row& x, const Row& y) {
                return std::tie(x.crc, x.size, x.index) < std::tie(y.crc, y.size, y.index);
              });
  }
  rows_ = std::move(arranged);
  arranged_ = true;
}

std::optional<uint32_t> RomIndex::Next(uint32_t crc, uint32_t size, uint32_t from) const {
  if (!arranged_) Arrange();
  const uint32_t bucket = BucketOf(crc);
  const Row* first = rows_.data() + bucket_start_[bucket];
  const Row* last = rows_.data() + bucket_start_[bucket + 1];
  // The rows of this CRC-32 and size, in entry order.
  const Row* match = std::partition_point(
      first, last, [&](const Row& r) { return KeyBefore(r.crc, r.size, crc, size); });
  const Row* end = std::partition_point(
      match, last, [&](const Row& r) { return !KeyBefore(crc, size, r.crc, r.size); });
  if (match == end) return std::nullopt;
  const Row* after =
      std::partition_point(match, end, [&](const Row& r) { return r.index <= from; });
  if (after != end) return after->index;
  // Round past the end of the table: the lowest match comes before `from`, or is entry 0.
  if (match->index < from || from == 0) return match->index;
  return std::nullopt;
}

}  // namespace cartidex
