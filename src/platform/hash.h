// SHA-1 and MD5 digests of bytes given in chunks, computed by a well-kept library: OpenSSL's
// libcrypto on POSIX systems, the system's CNG on Windows. No hash is computed by own code.
#ifndef CARTIDEX_PLATFORM_HASH_H_
#define CARTIDEX_PLATFORM_HASH_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace cartidex {

enum class HashKind { kSha1, kMd5 };

// The length in bytes of a digest of `kind`: 20 for SHA-1, 16 for MD5.
constexpr size_t DigestSize(HashKind kind) {
  return kind == HashKind::kSha1 ? 20 : 16;
}

// A digest of either kind; `size` bytes of `bytes` are used.
struct Digest {
  std::array<uint8_t, 20> bytes{};
  size_t size = 0;

  std::span<const uint8_t> view() const { return std::span<const uint8_t>(bytes.data(), size); }
  bool operator==(const Digest& other) const = default;
};

class Hasher {
 public:
  explicit Hasher(HashKind kind);
  ~Hasher();
  Hasher(const Hasher&) = delete;
  Hasher& operator=(const Hasher&) = delete;

  // Adds bytes to the digest. False, and from then on Finish fails, when the library fails.
  bool Update(const void* data, size_t size);
  // The digest of every byte added since construction. False when the library failed at any
  // step; the Hasher is of no more use afterwards either way.
  bool Finish(Digest* digest);

 private:
  struct State;  // the library's handles, released when the Hasher ends
  std::unique_ptr<State> state_;
  HashKind kind_;
  bool failed_ = false;
};

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_HASH_H_
