// The digests from the system's Cryptography API: Next Generation (bcrypt.dll).
#ifdef _WIN32
#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <algorithm>
#include <vector>

#include "platform/hash.h"

namespace cartidex {

namespace {

// An algorithm provider, closed when it ends.
class Provider {
 public:
  explicit Provider(const wchar_t* algorithm) {
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle_, algorithm, nullptr, 0))) {
      handle_ = nullptr;
    }
  }
  ~Provider() {
    if (handle_ != nullptr) BCryptCloseAlgorithmProvider(handle_, 0);
  }
  Provider(const Provider&) = delete;
  Provider& operator=(const Provider&) = delete;

  BCRYPT_ALG_HANDLE get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
};

// Opening a provider costs far more than hashing a small file: each is opened once, at its
// first use, and closed when the program ends.
BCRYPT_ALG_HANDLE ProviderFor(HashKind kind) {
  static Provider sha1(BCRYPT_SHA1_ALGORITHM);
  static Provider md5(BCRYPT_MD5_ALGORITHM);
  return kind == HashKind::kSha1 ? sha1.get() : md5.get();
}

}  // namespace

struct Hasher::State {
  ~State() {
    if (hash != nullptr) BCryptDestroyHash(hash);
  }
  // The hash object's memory, which must outlive the hash handle.
  std::vector<UCHAR> object;
  BCRYPT_HASH_HANDLE hash = nullptr;
};

Hasher::Hasher(HashKind kind) : state_(std::make_unique<State>()), kind_(kind) {
  failed_ = true;
  BCRYPT_ALG_HANDLE provider = ProviderFor(kind);
  if (provider == nullptr) return;
  DWORD object_size = 0;
  ULONG got = 0;
  if (!BCRYPT_SUCCESS(BCryptGetProperty(provider, BCRYPT_OBJECT_LENGTH,
                                        reinterpret_cast<PUCHAR>(&object_size), sizeof object_size,
                                        &got, 0)) ||
      got != sizeof object_size) {
    return;
  }
  state_->object.resize(object_size);
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!BCRYPT_SUCCESS(
          BCryptCreateHash(provider, &hash, state_->object.data(), object_size, nullptr, 0, 0))) {
    return;
  }
  state_->hash = hash;
  failed_ = false;
}

Hasher::~Hasher() = default;

bool Hasher::Update(const void* data, size_t size) {
  // The call takes a 32-bit length: larger runs go in pieces.
  const UCHAR* bytes = static_cast<const UCHAR*>(data);
  while (!failed_ && size > 0) {
    const ULONG piece = static_cast<ULONG>(std::min<size_t>(size, 0x40000000u));
    failed_ = !BCRYPT_SUCCESS(BCryptHashData(state_->hash, const_cast<PUCHAR>(bytes), piece, 0));
    bytes += piece;
    size -= piece;
  }
  return !failed_;
}

bool Hasher::Finish(Digest* digest) {
  if (failed_) return false;
  failed_ = true;  // a hash is finished once
  Digest out;
  out.size = DigestSize(kind_);
  if (!BCRYPT_SUCCESS(
          BCryptFinishHash(state_->hash, out.bytes.data(), static_cast<ULONG>(out.size), 0))) {
    return false;
  }
  *digest = out;
  return true;
}

}  // namespace cartidex

#endif  // _WIN32
