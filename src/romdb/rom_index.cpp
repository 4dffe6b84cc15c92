// The lookup index of the ROM table: building it, from one table or from two halves.
#include <algorithm>
#include <tuple>

#include "romdb/rom_database.h"

namespace cartidex {

void RomDatabase::BuildIndexOf(std::span<const uint32_t> first, std::span<const uint32_t> second,
                               IndexBuild* out) {
  IndexBuild& build = *out;
  // About two rows a bucket, at most 65536 buckets: a lookup looks at a handful of rows.
  const uint32_t n = static_cast<uint32_t>(first.size() + second.size());
  uint32_t bits = 1;
  while (bits < 16 && (1u << bits) < n / 2) ++bits;
  build.shift = 32 - bits;
  const uint32_t buckets = 1u << bits;

  // A counting sort by bucket. Going up the table fills each bucket in index order, moving its
  // start along; the starts are then where the next bucket begins, and shift back by one.
  std::vector<uint32_t>& starts = build.starts;
  starts.assign(buckets + 1, 0);
  for (const uint32_t crc : first) ++starts[(crc >> build.shift) + 1];
  for (const uint32_t crc : second) ++starts[(crc >> build.shift) + 1];
  for (uint32_t b = 0; b < buckets; ++b) starts[b + 1] += starts[b];
  build.rows.resize(n);
  uint32_t i = 0;
  for (const std::span<const uint32_t> part : {first, second}) {
    for (const uint32_t crc : part) build.rows[starts[crc >> build.shift]++] = Row{crc, i++};
  }
  std::copy_backward(starts.begin(), starts.end() - 1, starts.end());
  starts[0] = 0;
}

void RomDatabase::InstallIndex(IndexBuild&& build) const {
  index_ = std::move(build.rows);
  bucket_start_ = std::move(build.starts);
  bucket_shift_ = build.shift;
  const size_t buckets = bucket_start_.size() - 1;
  for (size_t b = 0; b < buckets; ++b) {
    if (bucket_start_[b + 1] - bucket_start_[b] <= kSmallBucket) continue;
    std::sort(index_.begin() + bucket_start_[b], index_.begin() + bucket_start_[b + 1],
              [this](const Row& x, const Row& y) {
                return std::tie(x.crc, roms_[x.index].size, x.index) <
                       std::tie(y.crc, roms_[y.index].size, y.index);
              });
  }
  index_stale_ = false;
}

void RomDatabase::BuildIndex() const {
  // Into the storage of the index it replaces: a reload then writes over memory it holds.
  IndexBuild build{std::move(index_), std::move(bucket_start_), bucket_shift_};
  BuildIndexOf(crcs_, {}, &build);
  InstallIndex(std::move(build));
}

void RomDatabase::AdoptIndex(IndexBuild&& build) {
  if (build.rows.size() != crcs_.size() || build.starts.empty()) {
    index_stale_ = true;
    return;
  }
  InstallIndex(std::move(build));
}

}  // namespace cartidex
