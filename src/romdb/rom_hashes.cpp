#include "romdb/rom_hashes.h"

#include <algorithm>

#include "romdb/parse_hex.h"

namespace cartidex {

namespace {

// Exactly two hexadecimal digits, either case, for every byte of *bytes.
template <size_t N>
bool ParseDigest(std::string_view text, std::array<uint8_t, N>* bytes) {
  if (text.size() != 2 * N) return false;
  for (size_t i = 0; i < N; ++i) {
    const uint32_t high = StrictHexDigit(text[2 * i]);
    const uint32_t low = StrictHexDigit(text[2 * i + 1]);
    if (high > 15 || low > 15) return false;
    (*bytes)[i] = static_cast<uint8_t>(high * 16 + low);
  }
  return true;
}

template <size_t N>
std::optional<RomHash> Find(const std::vector<uint32_t>& roms,
                            const std::vector<std::array<uint8_t, N>>& digests, HashKind kind,
                            uint32_t rom_index) {
  const auto it = std::lower_bound(roms.begin(), roms.end(), rom_index);
  if (it == roms.end() || *it != rom_index) return std::nullopt;
  const std::array<uint8_t, N>& bytes = digests[static_cast<size_t>(it - roms.begin())];
  RomHash hash;
  hash.kind = kind;
  std::copy(bytes.begin(), bytes.end(), hash.digest.bytes.begin());
  hash.digest.size = N;
  return hash;
}

}  // namespace

void RomHashes::Clear() {
  // Memory is handed back: a reload may bring DATs without any digest.
  sha1_roms_ = {};
  sha1_ = {};
  md5_roms_ = {};
  md5_ = {};
  sha1_sizes_ = {};
  md5_sizes_ = {};
}

void RomHashes::Add(uint32_t rom_index, uint32_t size, std::string_view sha1,
                    std::string_view md5) {
  std::array<uint8_t, 20> sha1_bytes;
  if (ParseDigest(sha1, &sha1_bytes)) {
    sha1_roms_.push_back(rom_index);
    sha1_.push_back(sha1_bytes);
    sha1_sizes_.insert(size);
    return;
  }
  std::array<uint8_t, 16> md5_bytes;
  if (ParseDigest(md5, &md5_bytes)) {
    md5_roms_.push_back(rom_index);
    md5_.push_back(md5_bytes);
    md5_sizes_.insert(size);
  }
}

std::optional<RomHash> RomHashes::Of(uint32_t rom_index) const {
  if (auto hash = Find(sha1_roms_, sha1_, HashKind::kSha1, rom_index)) return hash;
  return Find(md5_roms_, md5_, HashKind::kMd5, rom_index);
}

}  // namespace cartidex
