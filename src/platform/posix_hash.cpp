// Compiled everywhere but Windows: the digests from OpenSSL's libcrypto (EVP interface).
#ifndef _WIN32
#include <openssl/evp.h>

#include "platform/hash.h"

namespace cartidex {

struct Hasher::State {
  struct FreeContext {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
  };
  std::unique_ptr<EVP_MD_CTX, FreeContext> context;
};

Hasher::Hasher(HashKind kind) : state_(std::make_unique<State>()), kind_(kind) {
  state_->context.reset(EVP_MD_CTX_new());
  const EVP_MD* md = kind == HashKind::kSha1 ? EVP_sha1() : EVP_md5();
  failed_ = !state_->context || md == nullptr ||
            EVP_DigestInit_ex(state_->context.get(), md, nullptr) != 1;
}

Hasher::~Hasher() = default;

bool Hasher::Update(const void* data, size_t size) {
  if (failed_) return false;
  failed_ = EVP_DigestUpdate(state_->context.get(), data, size) != 1;
  return !failed_;
}

bool Hasher::Finish(Digest* digest) {
  if (failed_) return false;
  failed_ = true;  // a context is finished once
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(state_->context.get(), out, &length) != 1 || length != DigestSize(kind_)) {
    return false;
  }
  *digest = Digest();
  for (unsigned int i = 0; i < length; ++i) digest->bytes[i] = out[i];
  digest->size = length;
  return true;
}

}  // namespace cartidex

#endif  // _WIN32
